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
    QEventLoop loop;
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wakeUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    // The loop can also end early (QCoreApplication::exit ends every loop), and a
    // timer may fire just before the tick count moves on: the clock decides.
    for (std::uint32_t elapsed = ticksBetween(start, tickCount()); elapsed <= limit;
         elapsed = ticksBetween(start, tickCount())) {
        wakeUp.start(int(limit - elapsed + 1));
        loop.exec();
    }
}

void processPendingEvents()
{
    QCoreApplication::processEvents();
}

} // namespace tarnelo
