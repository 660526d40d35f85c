// The frame's start-up and end sequence, in process: the process end is
// replaced by a recorder, so what endProgram did can be looked at afterwards.

#include "app/frame.h"
#include "app/responseslot.h"
#include "app/skinstyle.h"
#include "app/windowing.h"
#include "browser/browserwindowcontroller.h"
#include "core/guidetable.h"
#include "launcher/launcherwindow.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

using namespace tarnelo;

namespace {

struct EndRecorder {
    QList<int> exitCodes;
    Frame::EndProcess function()
    {
        return [this](int code) { exitCodes.append(code); };
    }
};

struct FrameFixture {
    FrameFixture() : frame(recorder.function(), true)
    {
        frame.initGlobals();
        frame.registerCleanup([this] {
            ++cleanups;
            Frame::releaseGlobals();
        });
        frame.loadStartupWindow();
    }
    EndRecorder recorder;
    Frame frame;
    int cleanups = 0;
};

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void launcherLoadedSkinnedAndShown();
    void engineLoadedOnlyForTheBrowser();
    void closingLauncherEndsOnce();
    void closingLauncherWithBrowserOpen();
    void browserWindowClosedAndReopened();
    void globalReleasedByCleanup();
};

void TestFrame::initTestCase()
{
    QApplication::setFont(windowing::defaultGuiFont());
}

void TestFrame::launcherLoadedSkinnedAndShown()
{
    FrameFixture f;
    QVERIFY(f.frame.launcher());
    QVERIFY(f.frame.launcher()->isVisible());
    QCOMPARE(f.frame.loadedWindows().size(), 1);
    // The created event turned the skin on before the window was shown.
    QCOMPARE(QApplication::style()->name().toLower() == QStringLiteral("windows"), false);
    f.frame.launcher()->close();
}

void TestFrame::engineLoadedOnlyForTheBrowser()
{
    FrameFixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.frame.launcher()));
    QVERIFY(!f.frame.browserEngineLoaded());
    f.frame.launcher()->button(QStringLiteral("按钮3"))->click();
    QVERIFY(f.frame.browserEngineLoaded());
    QVERIFY(f.frame.browser()->window());
    f.frame.launcher()->close();
}

void TestFrame::closingLauncherEndsOnce()
{
    FrameFixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.frame.launcher()));
    QTest::keyClick(f.frame.launcher(), Qt::Key_Escape);
    QCOMPARE(f.recorder.exitCodes, QList<int>{0});
    QCOMPARE(f.cleanups, 1);
    // A second request to end (the fallback after the loop) runs no clean-up again.
    f.frame.endProgram(0);
    QCOMPARE(f.cleanups, 1);
    QCOMPARE(f.recorder.exitCodes, (QList<int>{0, 0}));
}

void TestFrame::closingLauncherWithBrowserOpen()
{
    FrameFixture f;
    f.frame.launcher()->button(QStringLiteral("按钮1"))->click();
    QPointer<QWidget> browser = f.frame.browser()->window();
    QVERIFY(browser);
    QCOMPARE(f.frame.loadedWindows().size(), 2);
    QVERIFY(f.frame.browserEngineLoaded());
    f.frame.launcher()->close();
    QCOMPARE(f.recorder.exitCodes, QList<int>{0});
    QCOMPARE(f.cleanups, 1);
    QVERIFY(browser.isNull());                 // destroyed with its web view
    QVERIFY(!f.frame.browserEngineLoaded());   // and the web engine released after it
}

void TestFrame::browserWindowClosedAndReopened()
{
    FrameFixture f;
    GlobalResponseSlot slot;
    slot.assign(QStringLiteral("last answer"));
    f.frame.launcher()->button(QStringLiteral("按钮7"))->click();
    QPointer<QWidget> first = f.frame.browser()->window();
    QVERIFY(first);
    first->close();
    QTRY_VERIFY(first.isNull());
    QCOMPARE(f.frame.loadedWindows().size(), 1);
    QVERIFY(f.recorder.exitCodes.isEmpty());  // closing the browser never ends the program

    f.frame.launcher()->button(QStringLiteral("按钮2"))->click();
    QVERIFY(f.frame.browser()->window());
    QCOMPARE(f.frame.loadedWindows().size(), 2);
    QCOMPARE(slot.read(), QStringLiteral("last answer"));
    f.frame.launcher()->close();
}

void TestFrame::globalReleasedByCleanup()
{
    FrameFixture f;
    QVERIFY(!lastResponseTextHeld());
    GlobalResponseSlot().assign(QStringLiteral("x"));
    QVERIFY(lastResponseTextHeld());
    f.frame.launcher()->close();
    QVERIFY(!lastResponseTextHeld());
    QCOMPARE(GlobalResponseSlot().read(), QString());
}

int main(int argc, char *argv[])
{
    // Stands where the program sets up the web engine before the application.
    initialiseWebEngine();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestFrame test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_frame.moc"
