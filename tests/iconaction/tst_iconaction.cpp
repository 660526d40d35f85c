#include "actions/eventwait.h"
#include "actions/httpclient.h"
#include "actions/iconaction.h"
#include "actions/infomessage.h"
#include "core/actiontable.h"
#include "core/lastresponseslot.h"
#include "core/servicehosts.h"
#include "core/tickcount.h"
#include "localhttpserver.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>

using namespace tarnelo;
using tarnelo::testing::LocalHttpServer;
using tarnelo::testing::ScriptedReply;

namespace {

// The frame's global, as the action code sees it.
class TextSlot : public LastResponseSlot
{
public:
    void assign(const QString &text) override
    {
        m_text = text;
        ++m_assigns;
    }
    QString read() const override { return m_text; }
    int assigns() const { return m_assigns; }

private:
    QString m_text;
    int m_assigns = 0;
};

struct SeenBox {
    QString title;
    QString text;
    qint64 seenNs = 0;
    std::size_t requestsBefore = 0;
};

// Watches for the message box the way a user would meet it: once it is the
// active modal widget and on screen, `inspect` looks at it, then `key` is typed
// into its window.
class BoxCloser : public QObject
{
public:
    using Inspect = std::function<void(QMessageBox *)>;

    explicit BoxCloser(const LocalHttpServer *server = nullptr, Qt::Key key = Qt::Key_Return, Inspect inspect = {})
        : m_server(server), m_key(key), m_inspect(std::move(inspect))
    {
        connect(&m_poll, &QTimer::timeout, this, [this] { look(); });
        m_poll.start(10);
    }

    const std::vector<SeenBox> &seen() const { return m_seen; }

private:
    void look()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box->property("tarneloSeen").toBool() || !box->windowHandle() || !box->windowHandle()->isExposed())
            return;
        box->setProperty("tarneloSeen", true);
        m_seen.push_back({box->windowTitle(), box->text(), testing::steadyNowNs(),
                          m_server ? m_server->requests().size() : 0});
        QTest::qWait(100);  // let the window manager place it
        if (m_inspect)
            m_inspect(box);
        QTest::keyClick(box->windowHandle(), m_key);
    }

    const LocalHttpServer *m_server = nullptr;
    Qt::Key m_key;
    Inspect m_inspect;
    QTimer m_poll;
    std::vector<SeenBox> m_seen;
};

HttpClientSettings settingsFor(quint16 port)
{
    HttpClientSettings settings;
    for (std::string_view host : hosts::all)
        settings.connectOverrides.push_back(std::string(host) + ":80:127.0.0.1:" + std::to_string(port));
    return settings;
}

QByteArray pathOf(const QByteArray &request)
{
    const QByteArray line = request.left(request.indexOf("\r\n"));
    return line.mid(4, line.lastIndexOf(' ') - 4);
}

double msBetween(qint64 fromNs, qint64 toNs)
{
    return double(toNs - fromNs) / 1e6;
}

QString linesOf(int count, int width)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QString::number(i).leftJustified(width, u'.') + u'\n';
    return text;
}

using ReplyForPass = std::function<ScriptedReply(int pass)>;

} // namespace

Q_DECLARE_METATYPE(ReplyForPass)

class TestIconAction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void waitReturnsAfterMoreThanTheTime_data();
    void waitReturnsAfterMoreThanTheTime();
    void waitOfZeroOrLessReturnsAtOnce_data();
    void waitOfZeroOrLessReturnsAtOnce();
    void waitDispatchesEventsThroughout();
    void waitNests();
    void processPendingEventsDispatchesAndReturns();
    void infoMessageShowsTextWithinScreen_data();
    void infoMessageShowsTextWithinScreen();
    void actionSendsSevenRequestsOneAtATime();
    void actionShowsSeventhAnswer_data();
    void actionShowsSeventhAnswer();
    void nestedActionFinishesFirst();
    void actionOutlivesItsWindow();
    void waitKeepsWaitingAfterQuit();
};

void TestIconAction::initTestCase()
{
    for (const char *name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(name);
}

void TestIconAction::waitReturnsAfterMoreThanTheTime_data()
{
    QTest::addColumn<int>("ms");
    for (int ms : {1, 10, 100, 500})
        QTest::addRow("%d ms", ms) << ms;
}

void TestIconAction::waitReturnsAfterMoreThanTheTime()
{
    QFETCH(int, ms);
    const std::uint32_t start = tickCount();
    waitProcessingEvents(ms);
    QVERIFY(ticksBetween(start, tickCount()) > std::uint32_t(ms));
}

void TestIconAction::waitOfZeroOrLessReturnsAtOnce_data()
{
    QTest::addColumn<int>("ms");
    QTest::newRow("0") << 0;
    QTest::newRow("-1") << -1;
    QTest::newRow("most negative") << std::numeric_limits<int>::min();
}

void TestIconAction::waitOfZeroOrLessReturnsAtOnce()
{
    QFETCH(int, ms);
    bool dispatched = false;
    QMetaObject::invokeMethod(this, [&] { dispatched = true; }, Qt::QueuedConnection);
    waitProcessingEvents(ms);
    QVERIFY(!dispatched);
    QCoreApplication::processEvents();
    QVERIFY(dispatched);
}

void TestIconAction::waitDispatchesEventsThroughout()
{
    std::vector<std::uint32_t> ticks;
    bool posted = false;
    const std::uint32_t start = tickCount();
    QMetaObject::invokeMethod(this, [&] { posted = true; }, Qt::QueuedConnection);
    QTimer repeating;
    connect(&repeating, &QTimer::timeout, this, [&] { ticks.push_back(ticksBetween(start, tickCount())); });
    repeating.start(40);
    bool late = false;
    QTimer::singleShot(380, this, [&] { late = true; });

    waitProcessingEvents(400);
    QVERIFY(posted);
    QVERIFY(late);
    QVERIFY2(ticks.size() >= 5, QByteArray::number(qulonglong(ticks.size())));
    QVERIFY(ticks.front() < 200 && ticks.back() > 300);
}

void TestIconAction::waitNests()
{
    const std::uint32_t start = tickCount();
    std::uint32_t innerStart = 0;
    std::uint32_t innerEnd = 0;
    QTimer::singleShot(50, this, [&] {
        innerStart = tickCount();
        waitProcessingEvents(300);
        innerEnd = tickCount();
    });
    waitProcessingEvents(100);
    const std::uint32_t outerEnd = tickCount();
    QVERIFY(innerStart != 0 && innerEnd != 0);
    QVERIFY(ticksBetween(innerStart, innerEnd) > 300);
    QVERIFY(ticksBetween(innerEnd, outerEnd) < 0x80000000u);  // the outer wait ended after the inner one
    QVERIFY(ticksBetween(start, outerEnd) > 350);
}

void TestIconAction::processPendingEventsDispatchesAndReturns()
{
    int dispatched = 0;
    for (int i = 0; i < 3; ++i)
        QMetaObject::invokeMethod(this, [&] { ++dispatched; }, Qt::QueuedConnection);
    processPendingEvents();
    QCOMPARE(dispatched, 3);
    processPendingEvents();  // nothing waiting: returns all the same
    QCOMPARE(dispatched, 3);
}

void TestIconAction::infoMessageShowsTextWithinScreen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("scrolls");

    QTest::newRow("short, Return") << QString::fromUtf8("点亮成功") << int(Qt::Key_Return) << false;
    QTest::newRow("empty, Escape") << QString() << int(Qt::Key_Escape) << false;
    QTest::newRow("HTML shown as source, Enter") << QStringLiteral("<html><b>bold</b> &amp; <br></html>")
                                                 << int(Qt::Key_Enter) << false;
    QTest::newRow("JSONP answer") << QStringLiteral("jsonp({\"ret\":0,\"msg\":\"ok\"})") << int(Qt::Key_Return)
                                  << false;
    QTest::newRow("5000 lines, Escape") << linesOf(5000, 20) << int(Qt::Key_Escape) << true;
    QTest::newRow("one 100000-character line, Return") << QString(100000, u'x') << int(Qt::Key_Return) << true;
    QTest::newRow("1 MB, Enter") << linesOf(10000, 99) << int(Qt::Key_Enter) << true;
    QTest::newRow("long line with spaces, Escape") << QStringLiteral("word ").repeated(20000) << int(Qt::Key_Escape)
                                                   << true;
}

void TestIconAction::infoMessageShowsTextWithinScreen()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(bool, scrolls);

    QWidget other;
    auto *otherButton = new QPushButton(QStringLiteral("other"), &other);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    int otherClicks = 0;
    connect(otherButton, &QPushButton::clicked, this, [&] { ++otherClicks; });
    // Through the window system, where modality applies.
    const auto clickOther = [&] {
        QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, otherButton->geometry().center());
    };

    bool inspected = false;
    BoxCloser closer(nullptr, Qt::Key(key), [&](QMessageBox *box) {
        inspected = true;
        const QRect screen = box->screen()->availableGeometry();
        QCOMPARE(box->windowTitle(), QString::fromUtf8("信息："));
        QCOMPARE(box->text(), text);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->buttons().size(), 1);
        QCOMPARE(box->standardButton(box->buttons().at(0)), QMessageBox::Ok);
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        QVERIFY2(screen.contains(box->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(box->frameGeometry().x()).arg(box->frameGeometry().y()).arg(box->frameGeometry().width()).arg(box->frameGeometry().height())));
        QAbstractButton *ok = box->buttons().at(0);
        QVERIFY(screen.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size())));
        QVERIFY(ok->isVisible());

        auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        auto *view = box->findChild<QPlainTextEdit *>();
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(view != nullptr, scrolls);
        QCOMPARE(label->isVisible(), !scrolls);
        if (view) {
            // All of the text can be brought into view: lines wrap, the end scrolls in.
            QVERIFY(view->isReadOnly());
            QCOMPARE(view->toPlainText(), text);
            QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
            view->moveCursor(QTextCursor::End);
            view->ensureCursorVisible();
            QVERIFY(view->viewport()->rect().contains(view->cursorRect()));
            view->setFocus();  // the keys then reach the box through the text view
        } else {
            QVERIFY(box->width() <= screen.width() / 2);
        }
        clickOther();  // blocked by the box
    });

    showInfoMessage(text);
    QVERIFY(inspected);
    QCOMPARE(closer.seen().size(), 1u);
    QCOMPARE(otherClicks, 0);
    clickOther();
    QCOMPARE(otherClicks, 1);
}

void TestIconAction::actionSendsSevenRequestsOneAtATime()
{
    std::atomic<int> served = 0;
    LocalHttpServer server([&](const QByteArray &) {
        return ScriptedReply{testing::httpReply("answer " + QByteArray::number(++served))};
    });
    HttpClient client(settingsFor(server.port()));
    TextSlot slot;
    BoxCloser closer(&server);
    const ActionRow *row = findActionRow(QString::fromUtf8("按钮2"));

    runIconAction(row->address, client, nullptr, slot);

    const auto requests = server.requests();
    QCOMPARE(requests.size(), 7u);
    for (std::size_t i = 0; i < requests.size(); ++i) {
        QCOMPARE(requests[i].raw.left(requests[i].raw.indexOf("\r\n")),
                 "GET /cgi-bin/act/a20100812icon/hide_icon.cgi?rid=0.09644990139701243&cmd=1&area=229&role=64457769666840392 HTTP/1.0");
        if (i > 0) {
            const double gap = msBetween(requests[i - 1].answeredNs, requests[i].arrivedNs);
            QVERIFY2(gap > 500, qPrintable(QStringLiteral("gap %1: %2 ms").arg(i).arg(gap)));
        }
    }
    QCOMPARE(slot.assigns(), 7);
    QCOMPARE(closer.seen().size(), 1u);
    const SeenBox &box = closer.seen()[0];
    QCOMPARE(box.title, QString::fromUtf8("信息："));
    QCOMPARE(box.text, QStringLiteral("answer 7"));
    QCOMPARE(box.requestsBefore, 7u);
    QVERIFY(msBetween(requests.back().answeredNs, box.seenNs) > 500);
    QCOMPARE(client.internetHandlesOpened(), 1);
}

void TestIconAction::actionShowsSeventhAnswer_data()
{
    QTest::addColumn<ReplyForPass>("replyFor");
    QTest::addColumn<QString>("shown");

    const auto seventh = [](ScriptedReply last) {
        return ReplyForPass([last](int pass) {
            return pass < 7 ? ScriptedReply{testing::httpReply("earlier")} : last;
        });
    };
    const QByteArray html = "<html><head><title>404</title></head><body>Not Found</body></html>";
    QTest::newRow("plain text") << seventh({testing::httpReply("ok")}) << QStringLiteral("ok");
    QTest::newRow("empty answer") << seventh({testing::httpReply("")}) << QString();
    QTest::newRow("cut at the zero byte") << seventh({testing::httpReply(QByteArray("abc\0def", 7))}) << QStringLiteral("abc");
    QTest::newRow("starts with a zero byte") << seventh({testing::httpReply(QByteArray("\0abc", 4))}) << QString();
    QTest::newRow("GBK decoded") << seventh({testing::httpReply("\xb5\xe3\xc1\xc1\xb3\xc9\xb9\xa6")})
                                 << QString::fromUtf8("点亮成功");
    QTest::newRow("404 HTML as text") << seventh({testing::httpReply(html, "404 Not Found")}) << QString::fromUtf8(html);
    QTest::newRow("seventh request failed") << seventh({QByteArray(), ScriptedReply::Ending::Reset}) << QString();
    QTest::newRow("every request failed") << ReplyForPass([](int) { return ScriptedReply{{}, ScriptedReply::Ending::Reset}; })
                                          << QString();
}

void TestIconAction::actionShowsSeventhAnswer()
{
    QFETCH(ReplyForPass, replyFor);
    QFETCH(QString, shown);
    std::atomic<int> pass = 0;
    LocalHttpServer server([&](const QByteArray &) { return replyFor(++pass); });
    HttpClient client(settingsFor(server.port()));
    TextSlot slot;
    BoxCloser closer(&server);

    runIconAction(actionTable()[0].address, client, nullptr, slot);

    QCOMPARE(server.requests().size(), 7u);
    QCOMPARE(closer.seen().size(), 1u);
    QCOMPARE(closer.seen()[0].text, shown);
    QCOMPARE(slot.read(), shown);
}

void TestIconAction::nestedActionFinishesFirst()
{
    std::atomic<int> served = 0;
    LocalHttpServer server([&](const QByteArray &request) {
        const QByteArray which = pathOf(request).startsWith("/cgi-bin/dnf") ? "A" : "B";
        return ScriptedReply{testing::httpReply(which + QByteArray::number(++served))};
    });
    HttpClient client(settingsFor(server.port()));
    TextSlot slot;
    BoxCloser closer(&server);
    const QByteArray first = findActionRow(QString::fromUtf8("按钮1"))->address;
    const QByteArray second = findActionRow(QString::fromUtf8("按钮3"))->address;
    QTimer::singleShot(100, this, [&] { runIconAction(second, client, nullptr, slot); });

    runIconAction(first, client, nullptr, slot);

    QByteArray order;
    for (const auto &request : server.requests())
        order += pathOf(request.raw).startsWith("/cgi-bin/dnf") ? 'A' : 'B';
    QCOMPARE(order, QByteArray("ABBBBBBBAAAAAA"));
    QCOMPARE(closer.seen().size(), 2u);
    QCOMPARE(closer.seen()[0].text, QStringLiteral("B8"));
    QCOMPARE(closer.seen()[0].requestsBefore, 8u);
    QCOMPARE(closer.seen()[1].text, QStringLiteral("A14"));
    QCOMPARE(slot.assigns(), 14);
}

void TestIconAction::actionOutlivesItsWindow()
{
    LocalHttpServer server([](const QByteArray &) { return ScriptedReply{testing::httpReply("done")}; });
    HttpClient client(settingsFor(server.port()));
    TextSlot slot;
    BoxCloser closer(&server);

    auto *window = new QWidget;  // deletes itself on close
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(window);
    auto *actionButton = new QPushButton(QStringLiteral("action"), window);
    auto *otherButton = new QPushButton(QStringLiteral("other"), window);
    layout->addWidget(actionButton);
    layout->addWidget(otherButton);
    int otherClicks = 0;
    connect(otherButton, &QPushButton::clicked, this, [&] { ++otherClicks; });
    connect(actionButton, &QPushButton::clicked, this, [&] {
        runIconAction(actionTable()[1].address, client, nullptr, slot);
    });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QPointer<QWidget> guard(window);
    // During the waits: the window answers clicks, then closes.
    QTimer::singleShot(700, otherButton, [&] { QTest::mouseClick(otherButton, Qt::LeftButton); });
    QTimer::singleShot(1300, window, [&] { window->close(); });

    QTest::mouseClick(actionButton, Qt::LeftButton);

    QVERIFY(guard.isNull());
    QCOMPARE(otherClicks, 1);
    QCOMPARE(server.requests().size(), 7u);
    QCOMPARE(closer.seen().size(), 1u);
    QCOMPARE(closer.seen()[0].text, QStringLiteral("done"));
}

// Last: after QCoreApplication::exit() no event loop of this thread runs again.
void TestIconAction::waitKeepsWaitingAfterQuit()
{
    int ticks = 0;
    QTimer repeating;
    connect(&repeating, &QTimer::timeout, this, [&] { ++ticks; });
    repeating.start(20);
    QTimer::singleShot(50, this, [] { QCoreApplication::exit(0); });
    const std::uint32_t start = tickCount();
    waitProcessingEvents(300);
    QVERIFY(ticksBetween(start, tickCount()) > 300);
    QVERIFY2(ticks >= 10, QByteArray::number(ticks));
}

QTEST_MAIN(TestIconAction)
#include "tst_iconaction.moc"
