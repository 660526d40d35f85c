// The launcher and browser windows as laid out: every control in creation
// order with its kind, rectangle and caption. Captions are compared as UTF-8
// bytes; full-width punctuation is spelt as escapes.

#include "resources/windowdefinitions.h"

#include <QTest>

using tarnelo::ControlDefinition;
using tarnelo::ControlKind;
using tarnelo::ControlRect;
using tarnelo::WindowDefinition;

Q_DECLARE_METATYPE(tarnelo::ControlKind)
Q_DECLARE_METATYPE(tarnelo::ControlRect)

namespace tarnelo {

char *toString(const ControlRect &r)
{
    return QTest::toString(QByteArray::number(r.left) + ',' + QByteArray::number(r.top) + ','
                           + QByteArray::number(r.width) + ',' + QByteArray::number(r.height));
}

} // namespace tarnelo

namespace {

bool overlap(const ControlRect &a, const ControlRect &b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height
        && b.top < a.top + a.height;
}

const WindowDefinition &windowNamed(const QByteArray &name)
{
    return name == "launcher" ? tarnelo::launcherWindowDefinition() : tarnelo::browserWindowDefinition();
}

} // namespace

class TestWindowDefinitions : public QObject
{
    Q_OBJECT

private:
    static void addControlColumns();
    static void checkControl(const WindowDefinition &window);

private Q_SLOTS:
    void windows_data();
    void windows();
    void launcherControls_data();
    void launcherControls();
    void browserControls_data();
    void browserControls();
    void noControlsOverlap_data();
    void noControlsOverlap();
    void findControlRejectsUnknownNames_data();
    void findControlRejectsUnknownNames();
};

void TestWindowDefinitions::windows_data()
{
    QTest::addColumn<QByteArray>("caption");
    QTest::addColumn<int>("outerWidth");
    QTest::addColumn<int>("outerHeight");
    QTest::addColumn<bool>("minimiseButton");
    QTest::addColumn<int>("controlCount");

    QTest::newRow("launcher") << QByteArray("Tarnelo") << 363 << 517 << true << 22;
    QTest::newRow("browser") << QByteArray("如果点亮图标失败\xEF\xBC\x8C多尝试几次即可\xEF\xBC\x81") << 716 << 636
                             << false << 5;
}

void TestWindowDefinitions::windows()
{
    QFETCH(QByteArray, caption);
    QFETCH(int, outerWidth);
    QFETCH(int, outerHeight);
    QFETCH(bool, minimiseButton);
    QFETCH(int, controlCount);

    const WindowDefinition &window = windowNamed(QTest::currentDataTag());
    QCOMPARE(QByteArray(window.caption), caption);
    QCOMPARE(window.outerWidth, outerWidth);
    QCOMPARE(window.outerHeight, outerHeight);
    QCOMPARE(window.minimiseButton, minimiseButton);
    QCOMPARE(qsizetype(window.controls.size()), qsizetype(controlCount));
}

void TestWindowDefinitions::addControlColumns()
{
    QTest::addColumn<int>("position");  // creation order, from 1
    QTest::addColumn<ControlKind>("kind");
    QTest::addColumn<ControlRect>("rect");
    QTest::addColumn<QByteArray>("caption");  // UTF-8; null: any non-empty single line
}

// The row's tag is the control's name.
void TestWindowDefinitions::checkControl(const WindowDefinition &window)
{
    QFETCH(int, position);
    QFETCH(ControlKind, kind);
    QFETCH(ControlRect, rect);
    QFETCH(QByteArray, caption);

    const QByteArray name = QTest::currentDataTag();
    QVERIFY(position >= 1 && size_t(position) <= window.controls.size());
    const ControlDefinition &control = window.controls[size_t(position - 1)];
    QCOMPARE(QByteArray(control.name), name);
    QCOMPARE(tarnelo::findControl(window, name.constData()), &control);
    QVERIFY(control.kind == kind);
    QCOMPARE(control.rect, rect);
    QVERIFY(control.caption);
    if (caption.isNull()) {
        QVERIFY(*control.caption != '\0');
        QVERIFY(!QByteArray(control.caption).contains('\n'));
    } else {
        QCOMPARE(QByteArray(control.caption), caption);
    }
}

void TestWindowDefinitions::launcherControls_data()
{
    addControlColumns();
    const auto button = ControlKind::PushButton;
    const auto label = ControlKind::GradientLabel;
    QTest::newRow("按钮1") << 1 << button << ControlRect{8, 169, 104, 25} << QByteArray("点亮QQ空间");
    QTest::newRow("按钮2") << 2 << button << ControlRect{248, 169, 104, 25} << QByteArray("点亮QQ邮箱");
    QTest::newRow("按钮3") << 3 << button << ControlRect{8, 209, 104, 25} << QByteArray("点亮WEBQQ");
    QTest::newRow("按钮4") << 4 << button << ControlRect{128, 169, 104, 25} << QByteArray("点亮手机QQ");
    QTest::newRow("按钮8") << 5 << button << ControlRect{128, 409, 104, 25} << QByteArray("点亮DNF7级非原创");
    QTest::newRow("按钮7") << 6 << button << ControlRect{248, 369, 104, 25} << QByteArray("点亮QQ西游非原创");
    QTest::newRow("按钮6") << 7 << button << ControlRect{248, 249, 104, 25} << QByteArray("点亮搜搜百科");
    QTest::newRow("按钮5") << 8 << button << ControlRect{128, 249, 104, 25} << QByteArray("点亮搜搜个人中心");
    QTest::newRow("按钮9") << 9 << button << ControlRect{8, 249, 104, 25} << QByteArray("点亮QQ相册");
    QTest::newRow("按钮10") << 10 << button << ControlRect{128, 289, 104, 25} << QByteArray("点亮QQ家园");
    QTest::newRow("按钮11") << 11 << button << ControlRect{8, 289, 104, 25} << QByteArray("点亮QQ书签");
    QTest::newRow("按钮12") << 12 << button << ControlRect{248, 289, 104, 25} << QByteArray("点亮财付通");
    QTest::newRow("标签1") << 13 << label << ControlRect{-16, 448, 384, 40} << QByteArray();
    QTest::newRow("标签2") << 14 << label << ControlRect{0, 128, 360, 32} << QByteArray("标签");
    QTest::newRow("按钮13") << 15 << button << ControlRect{8, 328, 104, 24} << QByteArray("点亮丝路英雄");
    QTest::newRow("按钮14") << 16 << button << ControlRect{128, 328, 104, 24} << QByteArray("点亮小熊梦工厂");
    QTest::newRow("按钮15") << 17 << button << ControlRect{248, 328, 104, 24} << QByteArray("点亮3366小游戏");
    QTest::newRow("按钮16") << 18 << button << ControlRect{8, 368, 104, 24} << QByteArray("点亮企鹅宝贝");
    QTest::newRow("按钮17") << 19 << button << ControlRect{128, 368, 104, 24} << QByteArray("点亮游戏人生");
    QTest::newRow("按钮18") << 20 << button << ControlRect{248, 208, 104, 24} << QByteArray("点亮QQ宝贝");
    QTest::newRow("按钮19") << 21 << button << ControlRect{8, 408, 104, 24} << QByteArray("点亮QQ播客非原创");
    QTest::newRow("按钮20") << 22 << button << ControlRect{128, 208, 104, 24} << QByteArray("点亮QQ朋友");
}

void TestWindowDefinitions::launcherControls()
{
    checkControl(tarnelo::launcherWindowDefinition());
}

void TestWindowDefinitions::browserControls_data()
{
    addControlColumns();
    const auto button = ControlKind::PushButton;
    QTest::newRow("网页") << 1 << ControlKind::WebBrowserBox << ControlRect{0, 0, 704, 560} << QByteArray("");
    QTest::newRow("公告") << 2 << ControlKind::NoticeLabel << ControlRect{8, 568, 696, 24}
                        << QByteArray("如果点亮失败,尝试重试即可\xEF\xBC\x81");
    QTest::newRow("按钮1") << 3 << button << ControlRect{568, 632, 104, 24} << QByteArray("点亮DNF7级");
    QTest::newRow("按钮2") << 4 << button << ControlRect{448, 632, 104, 24} << QByteArray("点亮QQ西游6级");
    QTest::newRow("按钮3") << 5 << button << ControlRect{304, 632, 120, 25} << QByteArray("点亮QQ播客");
}

void TestWindowDefinitions::browserControls()
{
    checkControl(tarnelo::browserWindowDefinition());
}

void TestWindowDefinitions::noControlsOverlap_data()
{
    QTest::addColumn<int>("unused");
    QTest::newRow("launcher") << 0;
    QTest::newRow("browser") << 0;
}

void TestWindowDefinitions::noControlsOverlap()
{
    const auto controls = windowNamed(QTest::currentDataTag()).controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const QByteArray pair = QByteArray(controls[i].name) + " / " + controls[j].name;
            QVERIFY2(!overlap(controls[i].rect, controls[j].rect), pair.constData());
        }
    }
}

void TestWindowDefinitions::findControlRejectsUnknownNames_data()
{
    QTest::addColumn<QByteArray>("window");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("launcher empty") << QByteArray("launcher") << QByteArray("");
    QTest::newRow("launcher 按钮21") << QByteArray("launcher") << QByteArray("按钮21");
    QTest::newRow("launcher 按钮") << QByteArray("launcher") << QByteArray("按钮");
    QTest::newRow("launcher browser's 网页") << QByteArray("launcher") << QByteArray("网页");
    QTest::newRow("launcher browser's 公告") << QByteArray("launcher") << QByteArray("公告");
    QTest::newRow("browser launcher's 按钮4") << QByteArray("browser") << QByteArray("按钮4");
    QTest::newRow("browser launcher's 标签1") << QByteArray("browser") << QByteArray("标签1");
    QTest::newRow("browser 按钮10") << QByteArray("browser") << QByteArray("按钮10");
    QTest::newRow("browser empty") << QByteArray("browser") << QByteArray("");
}

void TestWindowDefinitions::findControlRejectsUnknownNames()
{
    QFETCH(QByteArray, window);
    QFETCH(QByteArray, name);
    QCOMPARE(tarnelo::findControl(windowNamed(window), name.constData()), nullptr);
}

QTEST_GUILESS_MAIN(TestWindowDefinitions)
#include "tst_windowdefinitions.moc"
