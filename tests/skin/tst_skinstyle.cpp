// The control skin on real widgets on the X display: which controls it takes
// over, when, and what their pixels look like.

#include "app/skinstyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyleFactory>
#include <QTest>
#include <QWebEngineView>

#include <algorithm>
#include <memory>

using tarnelo::activeSkin;
using tarnelo::applySkinStyle;
using tarnelo::SkinStyle;

namespace {

const QString kDnf = QStringLiteral("点亮DNF7级非原创");
const QString kQq = QStringLiteral("点亮QQ播客非原创");
const QSize kLauncherButton(104, 25);
const QPoint kParking(1020, 764); // a screen corner no test window reaches

int darkest(QRgb c) { return std::min({qRed(c), qGreen(c), qBlue(c)}); }
bool isInk(QRgb c) { return qGray(c) < 110; }
bool isDarkBlue(QRgb c) { return qBlue(c) > qRed(c) + 50 && qGray(c) < 110; }
bool isNearWhite(QRgb c) { return darkest(c) >= 238; }
bool isGreyBeige(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    return b >= 190 && r <= 232 && r >= g && g >= b && r - b >= 6;
}
bool isOrange(QRgb c) { return qRed(c) >= 200 && qGreen(c) >= 120 && qGreen(c) <= 205 && qBlue(c) <= 90; }
bool isRingBlue(QRgb c) { return qBlue(c) >= 200 && qBlue(c) > qRed(c) + 40; }
bool isGreyish(QRgb c) { return std::abs(qRed(c) - qBlue(c)) <= 20 && std::abs(qGreen(c) - qBlue(c)) <= 20; }

QString describe(QRgb c)
{
    return QStringLiteral("rgb(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

#define VERIFY_PIXEL(image, x, y, predicate)                                                    \
    QVERIFY2(predicate((image).pixel((x), (y))),                                              \
             qPrintable(QStringLiteral(#predicate " at %1,%2: ").arg(x).arg(y)                \
                        + describe((image).pixel((x), (y)))))

QImage grabbed(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// What the X server shows, i.e. what the last real repaint left there.
QImage onScreen(QWidget *widget)
{
    const QPoint at = widget->mapTo(widget->window(), QPoint(0, 0));
    return widget->screen()
        ->grabWindow(widget->window()->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Bounding box and number of caption pixels inside `area`.
struct Ink {
    QRect box;
    int count = 0;
};

Ink inkIn(const QImage &image, const QRect &area)
{
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isInk(image.pixel(x, y))) {
                ink.box |= QRect(x, y, 1, 1);
                ++ink.count;
            }
    return ink;
}

// Inside the border and its antialiased corners.
Ink inkOfCaption(const QImage &button) { return inkIn(button, button.rect().adjusted(2, 2, -2, -2)); }

// A row the dotted focus rectangle runs along: dark and light pixels alternate.
bool hasDottedRow(const QImage &image)
{
    for (int y = 2; y <= 6; ++y) {
        bool alternates = true;
        for (int x = 10; x < image.width() - 10 && alternates; ++x)
            alternates = isInk(image.pixel(x, y)) != isInk(image.pixel(x + 1, y));
        if (alternates)
            return true;
    }
    return false;
}

QIcon redIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

QWidget *makeControl(const QString &kind, QWidget *parent)
{
    if (kind == QLatin1String("push button"))
        return new QPushButton(kDnf, parent);
    if (kind == QLatin1String("push button with icon"))
        return new QPushButton(redIcon(), QStringLiteral("确定"), parent);
    if (kind == QLatin1String("flat button")) {
        auto *button = new QPushButton(QStringLiteral("平"), parent);
        button->setFlat(true);
        return button;
    }
    if (kind == QLatin1String("icon-only button"))
        return new QPushButton(redIcon(), QString(), parent);
    if (kind == QLatin1String("check box"))
        return new QCheckBox(QStringLiteral("记住"), parent);
    if (kind == QLatin1String("radio button"))
        return new QRadioButton(QStringLiteral("单选"), parent);
    if (kind == QLatin1String("group box"))
        return new QGroupBox(QStringLiteral("分组"), parent);
    if (kind == QLatin1String("line edit"))
        return new QLineEdit(QStringLiteral("12345"), parent);
    if (kind == QLatin1String("frameless line edit")) {
        auto *edit = new QLineEdit(QStringLiteral("12345"), parent);
        edit->setFrame(false);
        return edit;
    }
    if (kind == QLatin1String("combo box") || kind == QLatin1String("editable combo box")) {
        auto *combo = new QComboBox(parent);
        combo->addItems({QStringLiteral("一"), QStringLiteral("二")});
        combo->setEditable(kind.startsWith(QLatin1String("editable")));
        return combo;
    }
    if (kind == QLatin1String("spin box"))
        return new QSpinBox(parent);
    if (kind == QLatin1String("double spin box"))
        return new QDoubleSpinBox(parent);
    if (kind == QLatin1String("label"))
        return new QLabel(QStringLiteral("状态：就绪"), parent);
    if (kind == QLatin1String("framed label")) {
        auto *label = new QLabel(QStringLiteral("状态：就绪"), parent);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    }
    if (kind == QLatin1String("plain widget"))
        return new QWidget(parent);
    if (kind == QLatin1String("scroll bar"))
        return new QScrollBar(Qt::Horizontal, parent);
    if (kind == QLatin1String("progress bar")) {
        auto *bar = new QProgressBar(parent);
        bar->setValue(40);
        return bar;
    }
    qFatal("unknown control kind %s", qPrintable(kind));
}

const QStringList kQualifying = {
    QStringLiteral("push button"), QStringLiteral("push button with icon"), QStringLiteral("check box"),
    QStringLiteral("radio button"), QStringLiteral("group box"), QStringLiteral("line edit"),
    QStringLiteral("combo box"), QStringLiteral("editable combo box"), QStringLiteral("spin box"),
    QStringLiteral("double spin box"),
};
const QStringList kLeftAlone = {
    QStringLiteral("flat button"), QStringLiteral("icon-only button"), QStringLiteral("frameless line edit"),
    QStringLiteral("label"), QStringLiteral("framed label"), QStringLiteral("plain widget"),
    QStringLiteral("scroll bar"), QStringLiteral("progress bar"),
};

// A fixed-size top-level window at a fixed place, its children placed by hand
// like the program's windows.
class Window : public QWidget
{
public:
    explicit Window(QSize size = QSize(300, 80))
    {
        setFixedSize(size);
        move(60, 60);
    }

    QPushButton *button(const QString &caption, QPoint at = QPoint(10, 10), QSize size = kLauncherButton)
    {
        auto *button = new QPushButton(caption, this);
        button->setGeometry(QRect(at, size));
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    }

    bool open()
    {
        show();
        return QTest::qWaitForWindowExposed(this);
    }
};

// Remembers whether the skin had taken the widget over when it was first painted.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QWidget *widget) : m_widget(widget) { widget->installEventFilter(this); }
    bool seen = false;
    bool takenOver = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint && !seen) {
            seen = true;
            takenOver = activeSkin() && activeSkin()->isTakenOver(m_widget);
        }
        return false;
    }

private:
    QWidget *m_widget;
};

class EventCounter : public QObject
{
public:
    EventCounter(QWidget *widget, QEvent::Type type) : m_type(type) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

} // namespace

class TestSkinStyle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void laterButtonIsSkinnedFromItsFirstPaint();
    void messageBoxButtonIsSkinned();
    void applyingAgainTakesEachControlOnce_data();
    void applyingAgainTakesEachControlOnce();
    void onlyStandardControlsAreTakenOver_data();
    void onlyStandardControlsAreTakenOver();
    void otherWidgetsKeepTheClassicDrawing_data();
    void otherWidgetsKeepTheClassicDrawing();
    void turningOffGivesEverythingBack_data();
    void turningOffGivesEverythingBack();
    void turningOffWhenOffChangesNothing();
    void webViewIsLeftAlone();
    void geometryIsUnchanged_data();
    void geometryIsUnchanged();

    void faceAndBorder();
    void hoverRingFollowsTheMouse();
    void pressedShowsSunkenFaceAndShiftedCaption();
    void disabledLook();
    void focusAndDefaultShowBlueRing_data();
    void focusAndDefaultShowBlueRing();
    void coloursAreTheOnlyDifference_data();
    void coloursAreTheOnlyDifference();
    void captionFitsOrWrapsCleanly_data();
    void captionFitsOrWrapsCleanly();

    void screenshotsOfEveryState();
};

void TestSkinStyle::initTestCase()
{
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("WenQuanYi Zen Hei"));
}

void TestSkinStyle::init()
{
    applySkinStyle(0);
    QCursor::setPos(kParking);
}

void TestSkinStyle::cleanupTestCase()
{
    applySkinStyle(0);
}

void TestSkinStyle::laterButtonIsSkinnedFromItsFirstPaint()
{
    QCOMPARE(applySkinStyle(1), 1);
    Window window;
    QPushButton *button = window.button(kDnf);
    FirstPaint firstPaint(button);
    QVERIFY(window.open());
    QTRY_VERIFY(firstPaint.seen);
    QVERIFY(firstPaint.takenOver);

    const QImage image = onScreen(button);
    VERIFY_PIXEL(image, 0, 12, isDarkBlue);
    VERIFY_PIXEL(image, 103, 12, isDarkBlue);
    VERIFY_PIXEL(image, 52, 0, isDarkBlue);
    VERIFY_PIXEL(image, 52, 2, isNearWhite);
    VERIFY_PIXEL(image, 52, 22, isGreyBeige);
}

void TestSkinStyle::messageBoxButtonIsSkinned()
{
    QCOMPARE(applySkinStyle(1), 1);
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tarnelo"), QStringLiteral("点亮完成"),
                    QMessageBox::Ok);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto *ok = qobject_cast<QPushButton *>(box.button(QMessageBox::Ok));
    QVERIFY(ok);
    QVERIFY(activeSkin()->isTakenOver(ok));

    // The default button: blue ring inside the border.
    QTRY_VERIFY(isRingBlue(onScreen(ok).pixel(1, ok->height() / 2)));
    const QImage image = onScreen(ok);
    const int h = image.height();
    const int x = image.width() / 4;
    VERIFY_PIXEL(image, 0, h / 2, isDarkBlue);
    VERIFY_PIXEL(image, image.width() / 2, 1, isRingBlue);
    VERIFY_PIXEL(image, x, 6, isNearWhite);
    VERIFY_PIXEL(image, x, h - 6, isGreyBeige);
}

void TestSkinStyle::applyingAgainTakesEachControlOnce_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::newRow("1 then 1") << 1 << 1;
    QTest::newRow("2 then 1") << 2 << 1;
    QTest::newRow("1 then 3") << 1 << 3;
}

void TestSkinStyle::applyingAgainTakesEachControlOnce()
{
    QFETCH(int, first);
    QFETCH(int, second);
    Window window(QSize(900, 200));
    QList<QWidget *> qualifying;
    QList<QWidget *> others;
    int x = 0;
    for (const QString &kind : kQualifying + kLeftAlone) {
        QWidget *control = makeControl(kind, &window);
        control->setGeometry((x % 8) * 110 + 5, (x / 8) * 40 + 5, 104, 25);
        (kQualifying.contains(kind) ? qualifying : others).append(control);
        ++x;
    }
    QVERIFY(window.open());

    QCOMPARE(applySkinStyle(first), first);
    QPointer<const SkinStyle> firstSkin = activeSkin();
    QCOMPARE(firstSkin->takenOverCount(), qualifying.size());
    QCOMPARE(applySkinStyle(second), second);
    QVERIFY(firstSkin.isNull());

    const SkinStyle *skin = activeSkin();
    QVERIFY(skin);
    QCOMPARE(skin->colourStyle(), second);
    QCOMPARE(skin->takenOverCount(), qualifying.size());
    for (QWidget *control : std::as_const(qualifying)) {
        QVERIFY2(skin->isTakenOver(control), control->metaObject()->className());
        QVERIFY(control->testAttribute(Qt::WA_Hover));
    }
    for (QWidget *control : std::as_const(others))
        QVERIFY2(!skin->isTakenOver(control), control->metaObject()->className());
}

void TestSkinStyle::onlyStandardControlsAreTakenOver_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("takenOver");
    for (const QString &kind : kQualifying)
        QTest::newRow(qPrintable(kind)) << kind << true;
    for (const QString &kind : kLeftAlone)
        QTest::newRow(qPrintable(kind)) << kind << false;
}

// Existing controls are taken over, their inner parts (the line edit of a combo
// or spin box) are not, and turning the skin off restores what polish changed.
void TestSkinStyle::onlyStandardControlsAreTakenOver()
{
    QFETCH(QString, kind);
    QFETCH(bool, takenOver);
    Window window;
    QWidget *control = makeControl(kind, &window);
    control->setGeometry(10, 10, 104, 25);
    QVERIFY(window.open());

    QCOMPARE(applySkinStyle(1), 1);
    const SkinStyle *skin = activeSkin();
    QCOMPARE(skin->isTakenOver(control), takenOver);
    QCOMPARE(skin->takenOverCount(), takenOver ? 1 : 0);
    QVERIFY(!skin->isTakenOver(&window));
    QCOMPARE(control->testAttribute(Qt::WA_Hover), takenOver);

    applySkinStyle(0);
    QVERIFY(!control->testAttribute(Qt::WA_Hover));
}

void TestSkinStyle::otherWidgetsKeepTheClassicDrawing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("style");
    for (const QString &kind : kLeftAlone) {
        if (kind != QLatin1String("plain widget"))
            QTest::newRow(qPrintable(kind)) << kind << 1;
    }
    QTest::newRow("label, style 3") << QStringLiteral("label") << 3;
}

void TestSkinStyle::otherWidgetsKeepTheClassicDrawing()
{
    QFETCH(QString, kind);
    QFETCH(int, style);
    Window window;
    QWidget *control = makeControl(kind, &window);
    control->setGeometry(10, 10, 104, 25);
    control->setFocusPolicy(Qt::NoFocus);
    QVERIFY(window.open());
    const QImage classic = grabbed(control);

    QCOMPARE(applySkinStyle(style), style);
    QCOMPARE(grabbed(control), classic);
}

void TestSkinStyle::turningOffGivesEverythingBack_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("off");
    QTest::newRow("0 after style 1") << 1 << 0;
    QTest::newRow("4 after style 2") << 2 << 4;
    QTest::newRow("-1 after style 3") << 3 << -1;
    QTest::newRow("0 when off") << 0 << 0;
}

// The button goes back to the classic look on screen: the same pixels as a
// button that has its own Windows style.
void TestSkinStyle::turningOffGivesEverythingBack()
{
    QFETCH(int, from);
    QFETCH(int, off);
    const std::unique_ptr<QStyle> classic(QStyleFactory::create(QStringLiteral("Windows")));
    Window window;
    QPushButton *button = window.button(kDnf);
    QPushButton *reference = window.button(kDnf, QPoint(150, 10));
    reference->setStyle(classic.get());
    QVERIFY(window.open());

    applySkinStyle(from);
    const QPointer<const SkinStyle> skin = activeSkin();
    QCOMPARE(applySkinStyle(off), 0);
    QVERIFY(!activeSkin());
    QVERIFY(skin.isNull());
    QCOMPARE(QApplication::style()->name(), QStringLiteral("windows"));
    QVERIFY(!button->testAttribute(Qt::WA_Hover));
    QTRY_COMPARE(onScreen(button), onScreen(reference));
}

void TestSkinStyle::turningOffWhenOffChangesNothing()
{
    Window window;
    QPushButton *button = window.button(kDnf);
    QVERIFY(window.open());
    const QStyle *before = QApplication::style();
    EventCounter styleChanges(button, QEvent::StyleChange);

    for (int off : {0, 4, -1})
        QCOMPARE(applySkinStyle(off), 0);
    QCOMPARE(QApplication::style(), before);
    QCOMPARE(styleChanges.count, 0);
}

// Nothing inside the web view is a standard control, whatever the page shows.
void TestSkinStyle::webViewIsLeftAlone()
{
    Window window(QSize(320, 140));
    auto *view = new QWebEngineView(&window);
    view->setGeometry(10, 10, 300, 120);
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    view->setHtml(QStringLiteral("<button>点亮</button><input type=checkbox><select><option>一</select>"));
    QVERIFY(window.open());
    QVERIFY(loaded.wait(20000));
    QCOMPARE(loaded.first().first().toBool(), true);

    QCOMPARE(applySkinStyle(1), 1);
    const SkinStyle *skin = activeSkin();
    QVERIFY(!skin->isTakenOver(view));
    const QList<QWidget *> inside = view->findChildren<QWidget *>();
    QVERIFY(!inside.isEmpty());
    for (const QWidget *widget : inside)
        QVERIFY2(!skin->isTakenOver(widget), widget->metaObject()->className());
    QCOMPARE(skin->takenOverCount(), 0);
}

void TestSkinStyle::geometryIsUnchanged_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : kQualifying)
        QTest::newRow(qPrintable(kind)) << kind;
}

void TestSkinStyle::geometryIsUnchanged()
{
    QFETCH(QString, kind);
    Window window;
    QWidget *control = makeControl(kind, &window);
    QVERIFY(window.open());
    const QSize hint = control->sizeHint();
    const QSize minimum = control->minimumSizeHint();
    const QRect contents = control->contentsRect();

    for (int style : {1, 2, 3}) {
        applySkinStyle(style);
        QCOMPARE(control->sizeHint(), hint);
        QCOMPARE(control->minimumSizeHint(), minimum);
        QCOMPARE(control->contentsRect(), contents);
    }
}

void TestSkinStyle::faceAndBorder()
{
    applySkinStyle(1);
    Window window;
    QPushButton *button = window.button(kDnf);
    QVERIFY(window.open());
    const QImage image = grabbed(button);
    for (const QPoint &edge : {QPoint(0, 12), QPoint(103, 12), QPoint(52, 0), QPoint(52, 24)})
        VERIFY_PIXEL(image, edge.x(), edge.y(), isDarkBlue);
    // Rounded corners: the corner pixel is not the border colour.
    QVERIFY(image.pixel(0, 0) != image.pixel(0, 12));
    // Near-white at the top, grey-beige at the bottom, getting darker on the way.
    VERIFY_PIXEL(image, 52, 1, isNearWhite);
    VERIFY_PIXEL(image, 52, 23, isGreyBeige);
    QVERIFY(qGray(image.pixel(3, 6)) > qGray(image.pixel(3, 18)));
    // Black caption, no dotted focus rectangle on a button without focus.
    const Ink ink = inkOfCaption(image);
    QVERIFY(ink.count > 100);
    int blackest = 255;
    for (int x = ink.box.left(); x <= ink.box.right(); ++x)
        blackest = std::min(blackest, darkest(image.pixel(x, ink.box.center().y())));
    QVERIFY(blackest < 40);
    QVERIFY(!hasDottedRow(image));
}

void TestSkinStyle::hoverRingFollowsTheMouse()
{
    applySkinStyle(1);
    Window window;
    QPushButton *button = window.button(kDnf);
    QVERIFY(window.open());
    const QList<QPoint> ring = {QPoint(1, 12), QPoint(2, 12), QPoint(52, 1), QPoint(101, 12), QPoint(52, 23)};
    const auto ringIsOrange = [&](const QImage &image) {
        return std::all_of(ring.cbegin(), ring.cend(), [&](QPoint p) { return isOrange(image.pixel(p)); });
    };
    QVERIFY(!ringIsOrange(onScreen(button)));

    QCursor::setPos(button->mapToGlobal(QPoint(52, 12)));
    QTRY_VERIFY(ringIsOrange(onScreen(button)));
    QVERIFY(button->testAttribute(Qt::WA_UnderMouse));

    QCursor::setPos(kParking);
    QTRY_VERIFY(isNearWhite(onScreen(button).pixel(52, 1)));
    QVERIFY(!ringIsOrange(onScreen(button)));
}

void TestSkinStyle::pressedShowsSunkenFaceAndShiftedCaption()
{
    applySkinStyle(1);
    Window window;
    QPushButton *button = window.button(kDnf);
    QVERIFY(window.open());
    const QImage normal = grabbed(button);
    button->setDown(true);
    const QImage pressed = grabbed(button);

    VERIFY_PIXEL(pressed, 0, 12, isDarkBlue);
    // A flat grey-beige face, darker than the raised one's top.
    for (const QPoint &p : {QPoint(52, 6), QPoint(52, 22), QPoint(1, 12)}) {
        VERIFY_PIXEL(pressed, p.x(), p.y(), isGreyBeige);
        QVERIFY(std::abs(qGray(pressed.pixel(p)) - qGray(pressed.pixel(52, 22))) <= 6);
    }
    QVERIFY(qGray(pressed.pixel(52, 6)) < qGray(normal.pixel(52, 2)) - 10);

    const Ink up = inkOfCaption(normal);
    const Ink down = inkOfCaption(pressed);
    QVERIFY(up.count > 100);
    QCOMPARE(down.box, up.box.translated(1, 1));
    QVERIFY(std::abs(down.count - up.count) <= up.count / 20);
}

void TestSkinStyle::disabledLook()
{
    applySkinStyle(1);
    Window window;
    QPushButton *button = window.button(kDnf);
    QPushButton *enabled = window.button(kDnf, QPoint(150, 10));
    button->setEnabled(false);
    QVERIFY(window.open());
    const QImage image = grabbed(button);

    VERIFY_PIXEL(image, 0, 12, isGreyish);
    QVERIFY(qGray(image.pixel(0, 12)) > 150);
    for (const QPoint &p : {QPoint(52, 2), QPoint(52, 22), QPoint(1, 12)}) {
        const QRgb face = image.pixel(p);
        QVERIFY2(darkest(face) >= 225 && qRed(face) > qBlue(face), qPrintable(describe(face)));
    }
    // A grey caption in the same place as the enabled one's black caption.
    int darkestCaption = 255;
    const QImage normal = grabbed(enabled);
    const Ink ink = inkOfCaption(normal);
    for (int y = ink.box.top(); y <= ink.box.bottom(); ++y)
        for (int x = ink.box.left(); x <= ink.box.right(); ++x)
            darkestCaption = std::min(darkestCaption, qGray(image.pixel(x, y)));
    QVERIFY2(darkestCaption >= 120 && darkestCaption <= 175, qPrintable(QString::number(darkestCaption)));
}

void TestSkinStyle::focusAndDefaultShowBlueRing_data()
{
    QTest::addColumn<bool>("focus");
    QTest::addColumn<bool>("isDefault");
    QTest::newRow("focused") << true << false;
    QTest::newRow("default") << false << true;
}

void TestSkinStyle::focusAndDefaultShowBlueRing()
{
    QFETCH(bool, focus);
    QFETCH(bool, isDefault);
    applySkinStyle(1);
    Window window;
    QPushButton *button = window.button(kDnf);
    QPushButton *plain = window.button(kDnf, QPoint(150, 10));
    button->setDefault(isDefault);
    if (focus)
        button->setFocusPolicy(Qt::StrongFocus);
    QVERIFY(window.open());
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    if (focus) {
        button->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(button->hasFocus());
    }

    const QImage image = grabbed(button);
    for (const QPoint &p : {QPoint(1, 12), QPoint(102, 12), QPoint(52, 1), QPoint(52, 2), QPoint(52, 23)})
        VERIFY_PIXEL(image, p.x(), p.y(), isRingBlue);
    VERIFY_PIXEL(image, 0, 12, isDarkBlue);
    QCOMPARE(hasDottedRow(image), focus);
    QVERIFY(!hasDottedRow(grabbed(plain)));
    // Ring and focus rectangle leave the caption where it was.
    QCOMPARE(inkIn(image, image.rect().adjusted(6, 6, -6, -6)).box,
             inkIn(grabbed(plain), image.rect().adjusted(6, 6, -6, -6)).box);
}

void TestSkinStyle::coloursAreTheOnlyDifference_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("style 2") << 2;
    QTest::newRow("style 3") << 3;
}

void TestSkinStyle::coloursAreTheOnlyDifference()
{
    QFETCH(int, style);
    Window window;
    QPushButton *button = window.button(kDnf);
    QVERIFY(window.open());
    applySkinStyle(1);
    const QImage luna = grabbed(button);
    QCOMPARE(applySkinStyle(style), style);
    QCOMPARE(activeSkin()->colourStyle(), style);
    const QImage other = grabbed(button);

    QCOMPARE(inkOfCaption(other).box, inkOfCaption(luna).box);
    // The same outline: the window shows through at the same corner pixels.
    const QRgb background = window.palette().color(QPalette::Window).rgb();
    for (int y = 0; y < luna.height(); ++y)
        for (int x = 0; x < luna.width(); ++x)
            QCOMPARE(other.pixel(x, y) == background, luna.pixel(x, y) == background);
    // Different colours: border and face.
    QVERIFY(other.pixel(0, 12) != luna.pixel(0, 12));
    QVERIFY(qGray(other.pixel(0, 12)) < 110);
    QVERIFY(other.pixel(52, 22) != luna.pixel(52, 22));
    QVERIFY(qGray(other.pixel(52, 22)) > 190);
}

void TestSkinStyle::captionFitsOrWrapsCleanly_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("lines");
    QTest::newRow("DNF in 104x25") << kDnf << kLauncherButton << 1;
    QTest::newRow("QQ in 104x25") << kQq << kLauncherButton << 1;
    QTest::newRow("DNF in 104x24") << kDnf << QSize(104, 24) << 1;
    QTest::newRow("DNF in 64x40") << kDnf << QSize(64, 40) << 2;
    QTest::newRow("QQ in 64x40") << kQq << QSize(64, 40) << 2;
}

// The whole caption shows, centred: as many caption pixels as in a button wide
// enough for any caption, on one line or on two.
void TestSkinStyle::captionFitsOrWrapsCleanly()
{
    QFETCH(QString, caption);
    QFETCH(QSize, size);
    QFETCH(int, lines);
    applySkinStyle(1);
    Window window(QSize(400, 100));
    QPushButton *button = window.button(caption, QPoint(10, 10), size);
    QPushButton *wide = window.button(caption, QPoint(10, 55), QSize(300, size.height()));
    QVERIFY(window.open());
    const QImage image = grabbed(button);
    const Ink ink = inkOfCaption(image);
    const Ink full = inkOfCaption(grabbed(wide));

    QVERIFY2(std::abs(ink.count - full.count) <= full.count / 20,
             qPrintable(QStringLiteral("%1 caption pixels, %2 in a wide button").arg(ink.count).arg(full.count)));
    const QRect box = ink.box;
    QVERIFY2(std::abs(box.left() - (image.width() - 1 - box.right())) <= 2, qPrintable(QDebug::toString(box)));
    QVERIFY2(std::abs(box.top() - (image.height() - 1 - box.bottom())) <= 2, qPrintable(QDebug::toString(box)));
    if (lines == 1)
        QCOMPARE(box.height(), full.box.height());
    else
        QVERIFY2(box.height() > full.box.height() + 6 && box.width() < full.box.width(),
                 qPrintable(QDebug::toString(box)));
}

// Screenshots to look at: one row per state, one file per colour style.
void TestSkinStyle::screenshotsOfEveryState()
{
    for (int style : {1, 2, 3}) {
        applySkinStyle(style);
        Window window(QSize(5 * 110 + 10, 150));
        const QStringList states = {QStringLiteral("normal"), QStringLiteral("hovered"), QStringLiteral("pressed"),
                                    QStringLiteral("focused"), QStringLiteral("disabled")};
        QList<QPushButton *> buttons;
        for (int i = 0; i < states.size(); ++i)
            buttons.append(window.button(i % 2 ? kQq : kDnf, QPoint(10 + 110 * i, 10)));
        buttons[2]->setDown(true);
        buttons[3]->setFocusPolicy(Qt::StrongFocus);
        buttons[4]->setEnabled(false);

        auto *check = new QCheckBox(QStringLiteral("记住密码"), &window);
        check->setGeometry(10, 50, 100, 20);
        check->setChecked(true);
        auto *radio = new QRadioButton(QStringLiteral("单选"), &window);
        radio->setGeometry(120, 50, 100, 20);
        radio->setChecked(true);
        auto *edit = new QLineEdit(QStringLiteral("12345678"), &window);
        edit->setGeometry(230, 50, 100, 22);
        auto *combo = qobject_cast<QComboBox *>(makeControl(QStringLiteral("combo box"), &window));
        combo->setGeometry(340, 50, 100, 22);
        auto *spin = new QSpinBox(&window);
        spin->setGeometry(450, 50, 100, 22);
        auto *group = new QGroupBox(QStringLiteral("分组"), &window);
        group->setGeometry(10, 80, 200, 60);
        auto *inGroup = new QCheckBox(QStringLiteral("未选"), group);
        inGroup->setGeometry(10, 25, 100, 20);

        QVERIFY(window.open());
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        buttons[3]->setFocus(Qt::TabFocusReason);
        QCursor::setPos(buttons[1]->mapToGlobal(QPoint(52, 12)));
        QTRY_VERIFY(buttons[1]->underMouse());
        QTRY_VERIFY(isOrange(onScreen(buttons[1]).pixel(1, 12)));
        const QString file = QStringLiteral("/tmp/skin-style%1.png").arg(style);
        QVERIFY(onScreen(&window).save(file));
        QCursor::setPos(kParking);
    }
}

QTEST_MAIN(TestSkinStyle)
#include "tst_skinstyle.moc"
