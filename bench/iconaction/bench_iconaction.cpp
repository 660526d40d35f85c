// One press of an action button against a local server, measured three ways:
// processor time over the press (getrusage) next to a press whose waits spin on
// the tick count as the old program's did; the gaps between an answer and the
// next request; and the length of the press against its floor, seven waits
// plus the server's time. The report box is dismissed as soon as it shows.

#include "actions/eventwait.h"
#include "actions/httpclient.h"
#include "actions/iconaction.h"
#include "actions/infomessage.h"
#include "core/actiontable.h"
#include "core/lastresponseslot.h"
#include "core/responsetext.h"
#include "core/servicehosts.h"
#include "core/tickcount.h"
#include "localhttpserver.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tarnelo;
using tarnelo::testing::LocalHttpServer;
using tarnelo::testing::ScriptedReply;

namespace {

constexpr auto serverDelay = std::chrono::milliseconds(20);

class TextSlot : public LastResponseSlot
{
public:
    void assign(const QString &text) override { m_text = text; }
    QString read() const override { return m_text; }

private:
    QString m_text;
};

// Notes when a message box shows and closes it at once.
class BoxDismisser : public QObject
{
public:
    qint64 shownNs = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && event->type() == QEvent::Show) {
            shownNs = testing::steadyNowNs();
            QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
        }
        return false;
    }
};

double cpuMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The old wait: dispatch, read the clock, dispatch, never sleep.
void spinningWait(int ms)
{
    if (ms <= 0)
        return;
    const std::uint32_t start = tickCount();
    for (;;) {
        processPendingEvents();
        processPendingEvents();
        if (ticksBetween(start, tickCount()) > std::uint32_t(ms))
            return;
        processPendingEvents();
        processPendingEvents();
    }
}

void spinningPress(const QByteArray &address, HttpClient &client, LastResponseSlot &slot)
{
    for (int pass = 1; pass <= actionPasses; ++pass) {
        slot.assign(bytesToText(client.fetchBytes(address, nullptr)));
        spinningWait(actionPassWaitMs);
        processPendingEvents();
    }
    showInfoMessage(slot.read());
}

struct Press {
    double wallMs = 0;   // start to the report box on screen
    double cpuMs = 0;    // whole process, start to return
    double threadMs = 0; // the user-interface thread alone
    std::vector<testing::ReceivedRequest> requests;
};

template <typename Run>
Press measure(LocalHttpServer &server, BoxDismisser &dismisser, Run run)
{
    const std::size_t before = server.requests().size();
    const double cpuStart = cpuMs(RUSAGE_SELF);
    const double threadStart = cpuMs(RUSAGE_THREAD);
    const qint64 start = testing::steadyNowNs();
    run();
    Press press;
    press.cpuMs = cpuMs(RUSAGE_SELF) - cpuStart;
    press.threadMs = cpuMs(RUSAGE_THREAD) - threadStart;
    press.wallMs = double(dismisser.shownNs - start) / 1e6;
    const auto all = server.requests();
    press.requests.assign(all.begin() + std::ptrdiff_t(before), all.end());
    return press;
}

std::vector<double> gapsMs(const Press &press)
{
    std::vector<double> gaps;
    for (std::size_t i = 1; i < press.requests.size(); ++i)
        gaps.push_back(double(press.requests[i].arrivedNs - press.requests[i - 1].answeredNs) / 1e6);
    std::sort(gaps.begin(), gaps.end());
    return gaps;
}

double serverMs(const Press &press)
{
    double total = 0;
    for (const auto &request : press.requests)
        total += double(request.answeredNs - request.arrivedNs) / 1e6;
    return total;
}

void printPress(const char *name, const Press &press)
{
    std::printf("%-24s wall %7.1f ms  cpu %7.1f ms = %5.2f %% of one core  (ui thread %6.1f ms)  requests %zu\n", name,
                press.wallMs, press.cpuMs, 100 * press.cpuMs / press.wallMs, press.threadMs, press.requests.size());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    LocalHttpServer server([](const QByteArray &) {
        return ScriptedReply{testing::httpReply("{\"ret\":0,\"msg\":\"ok\"}"), ScriptedReply::Ending::Close, serverDelay};
    });
    HttpClientSettings settings;
    for (std::string_view host : hosts::all)
        settings.connectOverrides.push_back(std::string(host) + ":80:127.0.0.1:" + std::to_string(server.port()));
    HttpClient client(settings);
    TextSlot slot;
    BoxDismisser dismisser;
    app.installEventFilter(&dismisser);
    const QByteArray address = findActionRow(QString::fromUtf8("按钮2"))->address;

    const Press cold = measure(server, dismisser, [&] { runIconAction(address, client, nullptr, slot); });
    const Press press = measure(server, dismisser, [&] { runIconAction(address, client, nullptr, slot); });
    const Press spinning = measure(server, dismisser, [&] { spinningPress(address, client, slot); });

    std::printf("One press of 按钮2, %d passes, server answering after %lld ms\n\n", actionPasses,
                static_cast<long long>(serverDelay.count()));
    printPress("first press (cold)", cold);
    printPress("press, sleeping wait", press);
    printPress("press, spinning wait", spinning);
    const double share = 100 * press.cpuMs / press.wallMs;
    std::printf("\nprocessor share over the press: %.2f %% [target <= 5 %%]; spinning: %.2f %%; ratio %.4f\n", share,
                100 * spinning.cpuMs / spinning.wallMs, press.cpuMs / spinning.cpuMs);

    const std::vector<double> gaps = gapsMs(press);
    const double median = gaps.size() % 2 ? gaps[gaps.size() / 2] : (gaps[gaps.size() / 2 - 1] + gaps[gaps.size() / 2]) / 2;
    std::printf("answer to next request: median %.2f ms [target <= 510], max %.2f ms [target <= 520], min %.2f ms\n",
                median, gaps.back(), gaps.front());

    const double floorMs = actionPasses * actionPassWaitMs + serverMs(press);
    std::printf("press %.1f ms against its floor %.1f ms (%d x %d ms waits + %.1f ms server): ratio %.4f [target <= 1.03]\n",
                press.wallMs, floorMs, actionPasses, actionPassWaitMs, serverMs(press), press.wallMs / floorMs);
    const bool met = share <= 5 && median <= 510 && gaps.back() <= 520 && press.wallMs / floorMs <= 1.03;
    std::printf("%s\n", met ? "all targets met" : "TARGET MISSED");
    return met ? 0 : 1;
}
