#include "actions/eventwait.h"

#include "core/tickcount.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace tarnelo {

void waitProcessingEvents(int ms)
{
    if (ms <= 0)
        return;
    const std::uint32_t start = tickCount();
    const auto limit = std::uint32_t(ms);
    // The timer only makes sure the thread wakes up at the deadline; the tick
    // count decides, read after every wake-up. Events are waited for one batch at
    // a time rather than in a local QEventLoop::exec(): once QCoreApplication::
    // exit() has been called, exec() returns at once, and the wait would spin.
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    for (std::uint32_t elapsed = ticksBetween(start, tickCount()); elapsed <= limit;
         elapsed = ticksBetween(start, tickCount())) {
        if (!wakeUp.isActive())
            wakeUp.start(int(limit - elapsed + 1));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void processPendingEvents()
{
    QCoreApplication::processEvents();
}

} // namespace tarnelo
