// The twenty launcher buttons and the three browser actions against the
// addresses and notices the services expect, byte for byte. The expected
// notices spell their non-ASCII punctuation as UTF-8 escapes so that a
// full-width comma cannot pass for a half-width one.

#include "core/actiontable.h"
#include "core/guidetable.h"
#include "core/servicehosts.h"

#include <QSet>
#include <QTest>

using tarnelo::ButtonKind;
using tarnelo::GuideRow;

Q_DECLARE_METATYPE(tarnelo::ButtonKind)

namespace {

// The one mobile log-in page every reveal button opens.
const QByteArray mobileLogin = "http://qzs.qq.com/qzone/mobile/login.html";
const QByteArray page3366 = "http://www.3366.com/act/a20101020light/";
const QByteArray notice3366 = "进入3366个人中心签到一次获得1点或以上的成长值即可前往手动点亮!";
const QByteArray gameLifePage = "http://gamelife.qq.com/active/activation.shtml";

// The host part of an absolute address: between "://" and the first "/", "?" or "#".
QByteArray hostOf(const QByteArray &address)
{
    const qsizetype start = address.indexOf("://");
    if (start < 0)
        return {};
    qsizetype end = start + 3;
    while (end < address.size() && address[end] != '/' && address[end] != '?' && address[end] != '#')
        ++end;
    return address.mid(start + 3, end - start - 3);
}

QSet<QByteArray> knownHosts()
{
    QSet<QByteArray> set;
    for (std::string_view host : tarnelo::hosts::all)
        set.insert(QByteArray(host.data(), qsizetype(host.size())));
    return set;
}

bool isPrintableAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (c <= 0x20 || c >= 0x7f)
            return false;
    }
    return !bytes.isEmpty();
}

} // namespace

class TestGuideTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void guideRows_data();
    void guideRows();
    void guideAddressEnds_data();
    void guideAddressEnds();
    void sharedRows();
    void findGuideRowRejectsUnknownNames_data();
    void findGuideRowRejectsUnknownNames();
    void everyAddressIsAsciiOnAKnownHost();
    void everyKnownHostIsUsed();
    void actionRows_data();
    void actionRows();
};

void TestGuideTable::guideRows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<ButtonKind>("kind");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("notice");  // UTF-8

    const auto guide = ButtonKind::Guide;
    const auto reveal = ButtonKind::Reveal;
    QTest::newRow("按钮1") << 0 << guide << QByteArray("http://imgcache.qq.com/qzone/reg/reg1.html?")
                         << QByteArray("先登陆自己的QQ空间,填写好信息后点确认即可瞬间点亮图标!");
    QTest::newRow("按钮2")
        << 1 << guide
        << QByteArray("http://mail.qq.com/cgi-bin/frame_html?sid=KD52-Rtoa-h8n3cE&r=e0d48b6c93f2a057d1c8e6b40f9a2d13")
        << QByteArray("成功登陆了QQ邮箱之后,在顶部找到[设置]-[常规]- 往下拽 - [\xE2\x88\x9A]在QQ中就可以点亮邮箱图标");
    QTest::newRow("按钮3") << 2 << guide << QByteArray("http://web.qq.com")
                         << QByteArray("在WEB.QQ.COM里成功登陆QQ即可点亮图标!");
    QTest::newRow("按钮4")
        << 3 << guide
        << QByteArray("http://3g.qq.com/p?i_url=http%3A%2F%2Fpt.3g.qq.com%2Fs%3Faid%3DnLogin3gqq%26auto%3D1"
                      "%26g_f%3D1796%26sid%3DQm7tVrHs2NcYpe_Jo4GzLa9w")
        << QByteArray("成功登陆3GQQ后即可点亮手机QQ图标");
    QTest::newRow("按钮5") << 4 << guide
                         << QByteArray("http://my.soso.com/xuetang/light?pid=w.my.light&ch=w.my.light")
                         << QByteArray("分数达到即可点亮图标");
    QTest::newRow("按钮6") << 5 << guide << QByteArray("http://baike.soso.com/mySet.htm")
                         << QByteArray("随便写个词条发布审核完后即可点亮图标");
    QTest::newRow("按钮7") << 6 << reveal << mobileLogin << QByteArray();
    QTest::newRow("按钮8") << 7 << reveal << mobileLogin << QByteArray();
    QTest::newRow("按钮9") << 8 << guide
                         << QByteArray("http://xui.ptlogin2.qq.com/div/qlogin_div.html?lang=2052&flag2=20&u1=http%3A%2F%")
                         << QByteArray("登陆QQ相册首页后,创建一个相册即可点亮!");
    QTest::newRow("按钮10") << 9 << guide << QByteArray("http://home.qq.com/")
                          << QByteArray("随便选个东西,然后点保存,重启QQ可以发现图标已经点亮!");
    QTest::newRow("按钮11") << 10 << guide << QByteArray("http://shuqian.qq.com/post/?21.54.50.296.0.12461694385765365")
                          << QByteArray("登陆后连续收藏10个网址,重启QQ点亮图标!");
    QTest::newRow("按钮12") << 11 << guide
                          << QByteArray("https://www.tenpay.com/v2/register/qq.shtml?ADTAG=TENPAY_V2.REGISTER.GUIDE_REG")
                          << QByteArray("填写信息后点下一步,重启QQ点亮图标!");
    QTest::newRow("按钮13") << 12 << guide << QByteArray("http://sl.qq.com/act/a20110304dltb/")
                          << QByteArray("进入游戏创建一个游戏角色即可一秒手动点亮!");
    QTest::newRow("按钮14") << 13 << guide << QByteArray("http://xiaoxiong.qq.com/act/adopt/")
                          << QByteArray("任意免费领养一只熊熊\xEF\xBC\x88男生/女生\xEF\xBC\x89即可立马自动点亮图标!");
    QTest::newRow("按钮15") << 14 << guide << page3366 << notice3366;
    QTest::newRow("按钮16") << 15 << guide << page3366 << notice3366;
    QTest::newRow("按钮17") << 16 << guide << gameLifePage
                          << QByteArray("进入腾讯游戏人生主页猛击\xE2\x80\x98立即激活\xE2\x80\x99按钮即可一键自动点亮!");
    QTest::newRow("按钮18") << 17 << guide << gameLifePage
                          << QByteArray("进入QQ宝贝官网后注册一个游戏角色\xEF\xBC\x8C稍等一会儿QQ客户端的图标就自动点亮了!");
    QTest::newRow("按钮19") << 18 << reveal << mobileLogin << QByteArray();
    QTest::newRow("按钮20") << 19 << guide
                          << QByteArray("http://www.pengyou.com/?http%3A%2F%2Fhome.pengyou.com%2Findex.php%3Fmod%3Dhome")
                          << QByteArray("在朋友网注册一下帐号即可以点亮!");
}

// Each row at its place in the table, found by its name, with its kind, address and notice.
void TestGuideTable::guideRows()
{
    QFETCH(int, index);
    QFETCH(ButtonKind, kind);
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, notice);

    const QString name = QString::fromUtf8(QTest::currentDataTag());
    const auto table = tarnelo::guideTable();
    QCOMPARE(qsizetype(table.size()), qsizetype(20));
    const GuideRow &row = table[size_t(index)];
    QCOMPARE(row.controlName, name);
    QCOMPARE(tarnelo::findGuideRow(name), &row);
    QVERIFY(row.kind == kind);
    QCOMPARE(row.address, address);
    QCOMPARE(row.notice.toUtf8(), notice);
}

void TestGuideTable::guideAddressEnds_data()
{
    QTest::addColumn<QByteArray>("expectedEnd");
    QTest::addColumn<bool>("endsAtHost");

    QTest::newRow("按钮3 nothing after the host") << QByteArray("://web.qq.com") << true;
    QTest::newRow("按钮1 trailing question mark") << QByteArray("/reg1.html?") << false;
    QTest::newRow("按钮9 trailing percent") << QByteArray("&u1=http%3A%2F%") << false;
}

// The three addresses whose last character is easily "tidied" away.
void TestGuideTable::guideAddressEnds()
{
    QFETCH(QByteArray, expectedEnd);
    QFETCH(bool, endsAtHost);

    const QByteArray tag = QTest::currentDataTag();
    const GuideRow *row = tarnelo::findGuideRow(QString::fromUtf8(tag.left(tag.indexOf(' '))));
    QVERIFY(row);
    QVERIFY2(row->address.endsWith(expectedEnd), row->address.constData());
    QCOMPARE(row->address.endsWith("://" + hostOf(row->address)), endsAtHost);
}

void TestGuideTable::sharedRows()
{
    const auto row = [](const char *name) { return tarnelo::findGuideRow(QString::fromUtf8(name)); };
    const GuideRow *b7 = row("按钮7"), *b8 = row("按钮8"), *b15 = row("按钮15"), *b16 = row("按钮16"),
                   *b17 = row("按钮17"), *b18 = row("按钮18"), *b19 = row("按钮19");
    QVERIFY(b7 && b8 && b15 && b16 && b17 && b18 && b19);
    QCOMPARE(b15->address, b16->address);
    QCOMPARE(b15->notice, b16->notice);
    QCOMPARE(b17->address, b18->address);
    QVERIFY(b17->notice != b18->notice);
    QCOMPARE(b7->address, b19->address);
    QCOMPARE(b8->address, b19->address);
    // Reveal rows carry no notice; every guide row does.
    for (const GuideRow &r : tarnelo::guideTable())
        QCOMPARE(r.notice.isEmpty(), r.kind == ButtonKind::Reveal);
}

void TestGuideTable::findGuideRowRejectsUnknownNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("按钮0") << QString::fromUtf8("按钮0");
    QTest::newRow("按钮21") << QString::fromUtf8("按钮21");
    QTest::newRow("space inside") << QString::fromUtf8("按钮 1");
    QTest::newRow("trailing space") << QString::fromUtf8("按钮1 ");
    QTest::newRow("label") << QString::fromUtf8("标签1");
    QTest::newRow("web box") << QString::fromUtf8("网页");
    QTest::newRow("latin") << QStringLiteral("Button1");
}

void TestGuideTable::findGuideRowRejectsUnknownNames()
{
    QFETCH(QString, name);
    QCOMPARE(tarnelo::findGuideRow(name), nullptr);
}

// The network tests resolve exactly hosts::all to loopback: an address on any
// other host would reach the internet.
void TestGuideTable::everyAddressIsAsciiOnAKnownHost()
{
    const QSet<QByteArray> known = knownHosts();
    QCOMPARE(known.size(), qsizetype(tarnelo::hosts::all.size()));  // no host listed twice
    QList<QByteArray> addresses;
    for (const GuideRow &row : tarnelo::guideTable())
        addresses << row.address;
    for (const tarnelo::ActionRow &row : tarnelo::actionTable())
        addresses << row.address;
    for (const QByteArray &address : std::as_const(addresses)) {
        QVERIFY2(isPrintableAscii(address), address.constData());
        QVERIFY2(address.startsWith("http://") || address.startsWith("https://"), address.constData());
        QVERIFY2(known.contains(hostOf(address)), address.constData());
    }
}

// Hosts named inside a query (the log-in targets) count as used too.
void TestGuideTable::everyKnownHostIsUsed()
{
    QByteArray all;
    for (const GuideRow &row : tarnelo::guideTable())
        all += row.address + ' ';
    for (const tarnelo::ActionRow &row : tarnelo::actionTable())
        all += row.address + ' ';
    for (std::string_view host : tarnelo::hosts::all) {
        const QByteArray name(host.data(), qsizetype(host.size()));
        QVERIFY2(all.contains("%2F" + name + "%2F") || all.contains("//" + name), name.constData());
    }
}

void TestGuideTable::actionRows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("address");
    QTest::newRow("按钮1")
        << 0 << QByteArray("http://apps.game.qq.com/cgi-bin/dnf/lighticon/DnfIcon.cgi?sAreaId=2&sRoleId=25507&iType=2&_=1342236415531");
    QTest::newRow("按钮2")
        << 1 << QByteArray("http://xy.qq.com/cgi-bin/act/a20100812icon/hide_icon.cgi?rid=0.09644990139701243&cmd=1&area=229&role=64457769666840392");
    QTest::newRow("按钮3") << 2 << QByteArray("http://sns.video.qq.com/fcgi-bin/liveportal/dian?t=1&otype=json&callback=jsonp");
}

void TestGuideTable::actionRows()
{
    QFETCH(int, index);
    QFETCH(QByteArray, address);

    const QString name = QString::fromUtf8(QTest::currentDataTag());
    const auto table = tarnelo::actionTable();
    QCOMPARE(qsizetype(table.size()), qsizetype(3));
    QCOMPARE(table[size_t(index)].controlName, name);
    QCOMPARE(table[size_t(index)].address, address);
    QCOMPARE(tarnelo::findActionRow(name), &table[size_t(index)]);
    QCOMPARE(tarnelo::findActionRow(name + QString::number(0)), nullptr);
    QCOMPARE(tarnelo::findActionRow(QString::fromUtf8("按钮4")), nullptr);
    QCOMPARE(tarnelo::findActionRow(QString()), nullptr);
}

QTEST_GUILESS_MAIN(TestGuideTable)
#include "tst_guidetable.moc"
