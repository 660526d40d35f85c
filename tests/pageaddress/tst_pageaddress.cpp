// What the addresses become before the web engine and the wire see them.

#include "core/pageaddress.h"

#include <QTest>

class TestPageAddress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escapeLonePercents_data();
    void escapeLonePercents();
    void withoutFragment_data();
    void withoutFragment();
};

void TestPageAddress::escapeLonePercents_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("escaped");

    const QByteArray mobileQq = "http://3g.qq.com/p?i_url=http%3A%2F%2Fpt.3g.qq.com%2Fs%3Faid%3DnLogin3gqq"
                                "%26auto%3D1%26g_f%3D1796%26sid%3DQm7tVrHs2NcYpe_Jo4GzLa9w";
    const QByteArray pengyou = "http://www.pengyou.com/?http%3A%2F%2Fhome.pengyou.com%2Findex.php%3Fmod%3Dhome";
    QTest::newRow("按钮4 valid escapes unchanged") << mobileQq << mobileQq;
    QTest::newRow("按钮20 valid escapes unchanged") << pengyou << pengyou;
    QTest::newRow("按钮9 trailing percent")
        << QByteArray("http://xui.ptlogin2.qq.com/div/qlogin_div.html?lang=2052&flag2=20&u1=http%3A%2F%")
        << QByteArray("http://xui.ptlogin2.qq.com/div/qlogin_div.html?lang=2052&flag2=20&u1=http%3A%2F%25");
    QTest::newRow("no percent") << QByteArray("http://web.qq.com") << QByteArray("http://web.qq.com");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("percent alone") << QByteArray("%") << QByteArray("%25");
    QTest::newRow("not hex after percent") << QByteArray("http://h/%G1") << QByteArray("http://h/%25G1");
    QTest::newRow("second digit not hex") << QByteArray("http://h/%4G") << QByteArray("http://h/%254G");
    QTest::newRow("one digit at the end") << QByteArray("http://h/x%4") << QByteArray("http://h/x%254");
    QTest::newRow("valid escape at the very end") << QByteArray("http://h/x%41") << QByteArray("http://h/x%41");
    QTest::newRow("double percent then escape") << QByteArray("http://h/%%41") << QByteArray("http://h/%25%41");
    QTest::newRow("two lone percents") << QByteArray("%%") << QByteArray("%25%25");
    QTest::newRow("lower-case hex") << QByteArray("http://h/?u=http%3a%2f%2fx") << QByteArray("http://h/?u=http%3a%2f%2fx");
    QTest::newRow("mixed-case hex") << QByteArray("http://h/%aF%Fa") << QByteArray("http://h/%aF%Fa");
    QTest::newRow("already escaped percent") << QByteArray("http://h/100%25") << QByteArray("http://h/100%25");
}

void TestPageAddress::escapeLonePercents()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, escaped);
    QCOMPARE(tarnelo::escapeLonePercents(address), escaped);
    // Once written "%25" a percent is a valid escape: a second pass changes nothing.
    QCOMPARE(tarnelo::escapeLonePercents(escaped), escaped);
}

void TestPageAddress::withoutFragment_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("cut");
    QTest::newRow("no fragment") << QByteArray("http://h/a?b=1") << QByteArray("http://h/a?b=1");
    QTest::newRow("fragment") << QByteArray("http://h/a?b=1#top") << QByteArray("http://h/a?b=1");
    QTest::newRow("two hashes cut at the first") << QByteArray("http://h/a#b#c") << QByteArray("http://h/a");
    QTest::newRow("empty fragment") << QByteArray("http://h/#") << QByteArray("http://h/");
    QTest::newRow("only a fragment") << QByteArray("#top") << QByteArray("");
    QTest::newRow("escaped hash is no fragment") << QByteArray("http://h/a%23b") << QByteArray("http://h/a%23b");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestPageAddress::withoutFragment()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, cut);
    QCOMPARE(tarnelo::withoutFragment(address), cut);
}

QTEST_GUILESS_MAIN(TestPageAddress)
#include "tst_pageaddress.moc"
