// The launcher as the user sees it: a real window on the X server with openbox,
// its outer rectangle, the pixels it shows and its keyboard.

#include "app/windowing.h"
#include "launcher/bannerimage.h"
#include "launcher/gradientlabel.h"
#include "launcher/launcherwindow.h"
#include "resources/windowdefinitions.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace tarnelo;

namespace {

const QRgb background = qRgb(236, 236, 236);

struct LauncherFixture {
    explicit LauncherFixture(QByteArray banner = bannerJpegBytes())
        : window(new LauncherWindow(std::move(banner)))
    {
        window->present();
    }
    ~LauncherFixture() { delete window.data(); }

    bool waitUntilPlaced(const QRect &outer) const
    {
        return QTest::qWaitFor([&] { return window && windowing::outerRect(window) == outer; }, 5000);
    }

    // The client area as the X server shows it.
    QImage screenPixels() const
    {
        QTest::qWait(200);  // let the last repaint reach the server
        return window->screen()->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    QPointer<LauncherWindow> window;
};

QPushButton *focusedButton()
{
    return qobject_cast<QPushButton *>(QApplication::focusWidget());
}

} // namespace

class TestLauncherWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void outerRectCentredOnScreen();
    void outerRectOnNarrowScreen();
    void cannotBeResized();
    void controlsInCreationOrder();
    void pixelRows_data();
    void pixelRows();
    void bannerThatDoesNotDecode();
    void tabOrder_data();
    void tabOrder();
    void firstFocusAndEnter();
    void focusRememberedAcrossActivation();
    void escapeCloses();
};

void TestLauncherWindow::initTestCase()
{
    QApplication::setFont(windowing::defaultGuiFont());
    const bool narrow = qEnvironmentVariableIsSet("TARNELO_NARROW_SCREEN");
    if (!narrow && windowing::primaryScreenSize() != QSize(1024, 768))
        QSKIP("the placement cases expect a 1024 x 768 screen");
}

void TestLauncherWindow::outerRectCentredOnScreen()
{
    if (qEnvironmentVariableIsSet("TARNELO_NARROW_SCREEN"))
        QSKIP("runs on the normal screen");
    LauncherFixture launcher;
    QVERIFY2(launcher.waitUntilPlaced(QRect(330, 125, 363, 517)),
             qPrintable(QString("outer rect is %1,%2 %3x%4")
                            .arg(launcher.window->frameGeometry().x())
                            .arg(launcher.window->frameGeometry().y())
                            .arg(launcher.window->frameGeometry().width())
                            .arg(launcher.window->frameGeometry().height())));
}

void TestLauncherWindow::outerRectOnNarrowScreen()
{
    if (!qEnvironmentVariableIsSet("TARNELO_NARROW_SCREEN"))
        QSKIP("needs the 320 x 240 screen of on-narrow-screen.sh");
    LauncherFixture launcher;
    // (320 - 363) / 2 and (240 - 517) / 2, truncated toward zero, not clamped.
    QVERIFY(launcher.waitUntilPlaced(QRect(-21, -138, 363, 517)));
}

void TestLauncherWindow::cannotBeResized()
{
    LauncherFixture launcher;
    QVERIFY(QTest::qWaitForWindowExposed(launcher.window));
    QCOMPARE(launcher.window->minimumSize(), launcher.window->maximumSize());
    QVERIFY(!(launcher.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(launcher.window->windowFlags() & Qt::WindowMinimizeButtonHint);
    launcher.window->showMaximized();
    QTest::qWait(300);
    QCOMPARE(launcher.window->frameGeometry().size(), QSize(363, 517));
}

void TestLauncherWindow::controlsInCreationOrder()
{
    LauncherFixture launcher;
    QList<QWidget *> controls;
    for (QObject *child : launcher.window->children()) {
        if (child->isWidgetType())
            controls.append(static_cast<QWidget *>(child));
    }
    const auto design = launcherWindowDefinition().controls;
    QCOMPARE(controls.size(), qsizetype(design.size()));
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const ControlDefinition &expected = design[size_t(i)];
        QWidget *control = controls[i];
        const QString row = QString("control %1 (%2)").arg(i + 1).arg(text(expected.name));
        QVERIFY2(control->objectName() == text(expected.name), qPrintable(row));
        QVERIFY2(control->geometry()
                     == QRect(expected.rect.left, expected.rect.top, expected.rect.width, expected.rect.height),
                 qPrintable(row));
        QVERIFY2(control->isVisible(), qPrintable(row));
        if (auto *button = qobject_cast<QPushButton *>(control)) {
            QVERIFY2(expected.kind == ControlKind::PushButton, qPrintable(row));
            QVERIFY2(button->text() == text(expected.caption), qPrintable(row));
            QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(row));
        } else {
            auto *label = qobject_cast<GradientLabel *>(control);
            QVERIFY2(label && label->text() == text(expected.caption), qPrintable(row));
            QVERIFY2(label->focusPolicy() == Qt::NoFocus, qPrintable(row));
        }
    }
}

void TestLauncherWindow::pixelRows_data()
{
    QTest::addColumn<QPoint>("where");
    QTest::addColumn<QRgb>("colour");
    // 标签1 spans client rows 448 to 487, 标签2 rows 128 to 159; x avoids their text.
    QTest::newRow("footer top row") << QPoint(20, 448) << background;
    QTest::newRow("footer bottom row") << QPoint(20, 487) << qRgb(0, 71, 143);
    QTest::newRow("footer row 20 black") << QPoint(20, 468) << qRgb(0, 0, 0);
    QTest::newRow("strip row 0 black") << QPoint(340, 128) << qRgb(0, 0, 0);
    QTest::newRow("strip row 15 black") << QPoint(340, 143) << qRgb(0, 0, 0);
    QTest::newRow("strip last row") << QPoint(340, 159) << qRgb(120, 120, 120);
    QTest::newRow("banner's last row hidden") << QPoint(100, 138) << qRgb(0, 0, 0);
    QTest::newRow("banner's row 128 hidden") << QPoint(200, 128) << qRgb(0, 0, 0);
    QTest::newRow("right of banner") << QPoint(359, 100) << background;
    QTest::newRow("between buttons") << QPoint(120, 300) << background;
    QTest::newRow("under the grid") << QPoint(300, 440) << background;
    QTest::newRow("below the footer") << QPoint(100, 492) << background;
}

void TestLauncherWindow::pixelRows()
{
    QFETCH(QPoint, where);
    QFETCH(QRgb, colour);
    LauncherFixture launcher;
    QVERIFY(launcher.waitUntilPlaced(QRect(330, 125, 363, 517)));
    const QImage pixels = launcher.screenPixels();
    const QColor seen = pixels.pixelColor(where);
    QVERIFY2(seen.rgb() == (colour | 0xff000000),
             qPrintable(QString("at %1,%2: %3,%4,%5")
                            .arg(where.x()).arg(where.y()).arg(seen.red()).arg(seen.green()).arg(seen.blue())));
}

void TestLauncherWindow::bannerThatDoesNotDecode()
{
    QByteArray damaged = bannerJpegBytes();
    QVERIFY(!damaged.isEmpty());
    damaged.truncate(damaged.size() / 2);
    LauncherFixture launcher(damaged);
    QVERIFY(launcher.waitUntilPlaced(QRect(330, 125, 363, 517)));
    const QImage pixels = launcher.screenPixels();
    for (int y = 0; y < 128; y += 3) {
        for (int x = 0; x < 357; x += 7)
            QVERIFY2(pixels.pixel(x, y) == (background | 0xff000000), qPrintable(QString("at %1,%2").arg(x).arg(y)));
    }
    QCOMPARE(launcher.window->buttonsInTabOrder().size(), 20);
}

void TestLauncherWindow::tabOrder_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QString>("to");
    QTest::newRow("1 -> 2") << "按钮1" << false << "按钮2";
    QTest::newRow("4 -> 8, not 5") << "按钮4" << false << "按钮8";
    QTest::newRow("8 -> 7") << "按钮8" << false << "按钮7";
    QTest::newRow("12 -> 13 over the labels") << "按钮12" << false << "按钮13";
    QTest::newRow("20 wraps to 1") << "按钮20" << false << "按钮1";
    QTest::newRow("back from 1 wraps to 20") << "按钮1" << true << "按钮20";
    QTest::newRow("back from 13 to 12") << "按钮13" << true << "按钮12";
    QTest::newRow("back from 8 to 4") << "按钮8" << true << "按钮4";
}

void TestLauncherWindow::tabOrder()
{
    QFETCH(QString, from);
    QFETCH(bool, backwards);
    QFETCH(QString, to);
    LauncherFixture launcher;
    QVERIFY(QTest::qWaitForWindowActive(launcher.window));
    launcher.window->button(from)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                    backwards ? Qt::ShiftModifier : Qt::NoModifier);
    QVERIFY(focusedButton());
    QCOMPARE(focusedButton()->objectName(), to);
}

void TestLauncherWindow::firstFocusAndEnter()
{
    LauncherFixture launcher;
    QVERIFY(QTest::qWaitForWindowActive(launcher.window));
    QVERIFY(focusedButton());
    QCOMPARE(focusedButton()->objectName(), QStringLiteral("按钮1"));

    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QPushButton *button : launcher.window->buttonsInTabOrder())
        spies.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    QTest::keyClick(focusedButton(), Qt::Key_Return);
    QTest::keyClick(focusedButton(), Qt::Key_Enter);
    for (const auto &spy : spies)
        QCOMPARE(spy->count(), 0);
    QCOMPARE(focusedButton()->objectName(), QStringLiteral("按钮1"));
}

void TestLauncherWindow::focusRememberedAcrossActivation()
{
    LauncherFixture launcher;
    QVERIFY(QTest::qWaitForWindowActive(launcher.window));
    QTest::keyClick(focusedButton(), Qt::Key_Tab);
    QCOMPARE(focusedButton()->objectName(), QStringLiteral("按钮2"));

    QWidget other;
    other.setGeometry(20, 20, 200, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    launcher.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(launcher.window));
    QVERIFY(focusedButton());
    QCOMPARE(focusedButton()->objectName(), QStringLiteral("按钮2"));
}

void TestLauncherWindow::escapeCloses()
{
    LauncherFixture launcher;
    QVERIFY(QTest::qWaitForWindowActive(launcher.window));
    QSignalSpy destroying(launcher.window, &LauncherWindow::destroying);
    QTest::keyClick(focusedButton(), Qt::Key_Escape);
    QCOMPARE(destroying.count(), 1);
    QTRY_VERIFY(launcher.window.isNull());  // deleted on close
}

QTEST_MAIN(TestLauncherWindow)
#include "tst_launcherwindow.moc"
