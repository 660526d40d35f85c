// The browser window as the launcher drives it: real windows on the X server with
// openbox and the real web engine. Pages load from nowhere here (the service
// hosts do not resolve); what the server sees is covered end to end.

#include "app/windowing.h"
#include "browser/browserbox.h"
#include "browser/browserwindow.h"
#include "browser/browserwindowcontroller.h"
#include "browser/noticelabel.h"
#include "browser/webenginebrowser.h"
#include "core/guidetable.h"
#include "launcher/guidebuttons.h"
#include "resources/windowdefinitions.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>

using namespace tarnelo;

namespace {

const QRect designedRect(154, 66, 716, 636);  // centred on 1024 x 768
const QString designedNotice = QString::fromUtf8("如果点亮失败,尝试重试即可！");

const GuideRow &row(const char *name)
{
    return *findGuideRow(QString::fromUtf8(name));
}

int browserWindowCount()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += qobject_cast<BrowserWindow *>(w) && w->isVisible() ? 1 : 0;
    return count;
}

// Opens links in a test slot instead of the desktop's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace

class TestBrowserWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void guideClickOnClosedWindow_data();
    void guideClickOnClosedWindow();
    void reopenWhileOpen();
    void reopenWhileMinimised();
    void revealAndGuideHeights();
    void closeAndReopenStartsFromDesign();
    void movedWindowGrowsDownwards();
    void heightClamped_data();
    void heightClamped();
    void noticeRepaint();
    void keyboardInsidePage();
    void newWindowGoesToDesktop();

private:
    BrowserWindow *window() const { return qobject_cast<BrowserWindow *>(m_controller->window()); }
    bool waitForOuter(const QRect &outer) const
    {
        return QTest::qWaitFor([&] { return window() && windowing::outerRect(window()) == outer; }, 5000);
    }
    QImage noticePixels() const
    {
        QTest::qWait(250);
        NoticeLabel *n = window()->notice();
        return window()->screen()->grabWindow(window()->winId(), n->x(), n->y(), n->width(), n->height()).toImage();
    }

    std::unique_ptr<WebEngineBrowser> m_engine;
    BrowserWindowController *m_controller = nullptr;
};

void TestBrowserWindow::initTestCase()
{
    if (windowing::primaryScreenSize() != QSize(1024, 768))
        QSKIP("expects a 1024 x 768 screen");
    QApplication::setFont(windowing::defaultGuiFont());
    m_engine = std::make_unique<WebEngineBrowser>();
    m_controller = new BrowserWindowController([this] { return m_engine.get(); }, [](const QString &) {}, this);
}

void TestBrowserWindow::cleanupTestCase()
{
    cleanup();
    m_engine.reset();  // after its last window
}

void TestBrowserWindow::cleanup()
{
    if (QPointer<BrowserWindow> w = window()) {
        w->close();
        QTRY_VERIFY(w.isNull());
    }
}

void TestBrowserWindow::guideClickOnClosedWindow_data()
{
    QTest::addColumn<QString>("name");
    for (const GuideRow &r : guideTable()) {
        if (r.kind == ButtonKind::Guide)
            QTest::newRow(qPrintable(r.controlName)) << r.controlName;
    }
}

void TestBrowserWindow::guideClickOnClosedWindow()
{
    QFETCH(QString, name);
    const GuideRow &r = *findGuideRow(name);
    runGuideRow(r, *m_controller);
    QVERIFY(window());
    QVERIFY(waitForOuter(designedRect));
    QCOMPARE(window()->notice()->text(), r.notice);
    QCOMPARE(window()->browserBox()->address(), r.address);
    QCOMPARE(browserWindowCount(), 1);
}

void TestBrowserWindow::reopenWhileOpen()
{
    runGuideRow(row("按钮1"), *m_controller);
    QPointer<BrowserWindow> first = window();
    QVERIFY(waitForOuter(designedRect));
    window()->move(100, 40);
    QVERIFY(waitForOuter(QRect(100, 40, 716, 636)));

    QWidget other;
    other.setGeometry(300, 300, 200, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));

    QVERIFY(m_controller->openBrowserWindow());
    QCOMPARE(window(), first.data());
    QCOMPARE(browserWindowCount(), 1);
    QVERIFY(QTest::qWaitForWindowActive(window()));
    QCOMPARE(windowing::outerRect(window()), QRect(100, 40, 716, 636));
    QCOMPARE(window()->notice()->text(), row("按钮1").notice);
    QCOMPARE(window()->browserBox()->address(), row("按钮1").address);
}

void TestBrowserWindow::reopenWhileMinimised()
{
    runGuideRow(row("按钮2"), *m_controller);
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    window()->showMinimized();
    QTRY_VERIFY(window()->isMinimized());
    m_controller->openBrowserWindow();
    QTRY_VERIFY(!window()->isMinimized());
    QTRY_VERIFY(window()->isVisible());
    QCOMPARE(window()->notice()->text(), row("按钮2").notice);
}

void TestBrowserWindow::revealAndGuideHeights()
{
    runGuideRow(row("按钮7"), *m_controller);
    QVERIFY(waitForOuter(QRect(154, 66, 716, 700)));
    QCOMPARE(window()->notice()->text(), designedNotice);
    for (const char *name : {"按钮1", "按钮2", "按钮3"}) {
        const QPushButton *button = window()->actionButton(QString::fromUtf8(name));
        QVERIFY2(window()->rect().contains(button->geometry()), name);
    }

    runGuideRow(row("按钮1"), *m_controller);  // keeps 700, replaces the notice
    QTest::qWait(200);
    QCOMPARE(windowing::outerRect(window()), QRect(154, 66, 716, 700));
    QCOMPARE(window()->notice()->text(), row("按钮1").notice);

    runGuideRow(row("按钮8"), *m_controller);  // keeps the notice
    QCOMPARE(window()->notice()->text(), row("按钮1").notice);
    QCOMPARE(window()->browserBox()->address(), row("按钮8").address);
}

void TestBrowserWindow::closeAndReopenStartsFromDesign()
{
    runGuideRow(row("按钮19"), *m_controller);
    QVERIFY(waitForOuter(QRect(154, 66, 716, 700)));
    window()->move(10, 10);
    QPointer<BrowserWindow> first = window();
    QTest::keyClick(window()->actionButton(QStringLiteral("按钮2")), Qt::Key_Escape);
    QTRY_VERIFY(first.isNull());

    QVERIFY(m_controller->openBrowserWindow());
    QVERIFY(waitForOuter(designedRect));
    QCOMPARE(window()->notice()->text(), designedNotice);
    QVERIFY(window()->browserBox()->address().isEmpty());
    QVERIFY(window()->browserBox()->view()->url().isEmpty());
    const QPushButton *button = window()->actionButton(QStringLiteral("按钮1"));
    QVERIFY(!window()->rect().intersects(button->geometry()));
}

void TestBrowserWindow::movedWindowGrowsDownwards()
{
    runGuideRow(row("按钮5"), *m_controller);
    QVERIFY(waitForOuter(designedRect));
    window()->move(200, 150);
    QVERIFY(waitForOuter(QRect(200, 150, 716, 636)));
    runGuideRow(row("按钮8"), *m_controller);
    QVERIFY(waitForOuter(QRect(200, 150, 716, 700)));  // past the bottom of the screen
}

void TestBrowserWindow::heightClamped_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("clientHeight");
    // With openbox's frame (20 above, 1 below) the client is 21 lower than the outer height.
    QTest::newRow("negative gives the frame alone") << -5 << 0;
    QTest::newRow("700") << 700 << 679;
    QTest::newRow("above the limit") << 40000 << 32627 - 21;
}

void TestBrowserWindow::heightClamped()
{
    QFETCH(int, requested);
    QFETCH(int, clientHeight);
    m_controller->openBrowserWindow();
    QVERIFY(waitForOuter(designedRect));
    m_controller->setBrowserWindowHeight(requested);
    QTRY_COMPARE(window()->height(), clientHeight);
    QCOMPARE(window()->pos(), designedRect.topLeft());
}

void TestBrowserWindow::noticeRepaint()
{
    m_controller->openBrowserWindow();
    QVERIFY(waitForOuter(designedRect));
    const QImage background = [&] {
        m_controller->showNotice(QString());
        return noticePixels();
    }();
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x)
            QVERIFY(background.pixelColor(x, y) == QColor(236, 236, 236));
    }

    m_controller->showNotice(row("按钮2").notice);  // the longest notice
    const QImage longText = noticePixels();
    QVERIFY(longText != background);
    m_controller->showNotice(QStringLiteral("短"));
    const QImage shortText = noticePixels();
    const int shortWidth = window()->notice()->fontMetrics().horizontalAdvance(QStringLiteral("短")) + 2;
    int redPixels = 0;
    for (int y = 0; y < shortText.height(); ++y) {
        for (int x = 0; x < shortText.width(); ++x) {
            const QColor c = shortText.pixelColor(x, y);
            if (x >= shortWidth)
                QVERIFY2(c == QColor(236, 236, 236), qPrintable(QString("trace at %1,%2").arg(x).arg(y)));
            else
                redPixels += c.red() > 200 && c.green() < 120 ? 1 : 0;
        }
    }
    QVERIFY(redPixels > 5);  // the new text is there, in red over the background
}

void TestBrowserWindow::keyboardInsidePage()
{
    m_controller->openBrowserWindow();
    QVERIFY(QTest::qWaitForWindowActive(window()));
    QWebEngineView *view = window()->browserBox()->view();
    bool loaded = false;
    connect(view, &QWebEngineView::loadFinished, this, [&loaded](bool ok) { loaded = ok; });
    view->setHtml(QStringLiteral("<input id=a autofocus><input id=b>"));
    QTRY_VERIFY_WITH_TIMEOUT(loaded, 15000);
    window()->browserBox()->setFocus();
    QTRY_VERIFY(view->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == view);

    // Tab leaves the page for 按钮1 instead of moving to the page's next field.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window()->actionButton(QStringLiteral("按钮1")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window()->actionButton(QStringLiteral("按钮2")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window()->actionButton(QStringLiteral("按钮3")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(view->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == view);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), window()->actionButton(QStringLiteral("按钮3")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);

    QPointer<BrowserWindow> w = window();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(w.isNull());
}

void TestBrowserWindow::newWindowGoesToDesktop()
{
    UrlCatcher catcher;
    m_controller->openBrowserWindow();
    QWebEngineView *view = window()->browserBox()->view();
    bool loaded = false;
    connect(view, &QWebEngineView::loadFinished, this, [&loaded](bool ok) { loaded = ok; });
    view->setHtml(QStringLiteral("<a id=l href='http://example.invalid/elsewhere' target=_blank>x</a>"
                                 "<script>document.getElementById('l').click()</script>"),
                  QUrl(QStringLiteral("http://example.invalid/")));
    QTRY_VERIFY_WITH_TIMEOUT(loaded, 15000);
    QTRY_COMPARE(catcher.opened.size(), 1);
    QCOMPARE(catcher.opened.first(), QUrl(QStringLiteral("http://example.invalid/elsewhere")));
    QCOMPARE(browserWindowCount(), 1);
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestBrowserWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_browserwindow.moc"
