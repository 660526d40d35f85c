#include "core/cookierecord.h"
#include "cookiefixtures.h"

#include <QTest>

using tarnelo::CookieChanges;
using tarnelo::CookieRecord;

Q_DECLARE_METATYPE(CookieRecord)
Q_DECLARE_METATYPE(std::optional<CookieRecord>)
Q_DECLARE_METATYPE(std::vector<CookieRecord>)

using tarnelo::testing::cookie;
using tarnelo::testing::describe;
using tarnelo::testing::withFlags;

namespace {

constexpr qint64 now = 1'800'000'000;

} // namespace

class TestCookieRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesNetscapeLines_data();
    void writesNetscapeLines();
    void readsNetscapeLines_data();
    void readsNetscapeLines();
    void readsBackWhatItWrites();
    void diffsCookieSets_data();
    void diffsCookieSets();
};

void TestCookieRecord::writesNetscapeLines_data()
{
    QTest::addColumn<CookieRecord>("input");
    QTest::addColumn<QByteArray>("line");  // empty: cannot be written

    QTest::newRow("host-only session") << cookie("sid", "abc", "apps.game.qq.com", "/cgi-bin")
                                       << QByteArray("apps.game.qq.com\tFALSE\t/cgi-bin\tFALSE\t0\tsid\tabc");
    QTest::newRow("domain persistent") << withFlags(cookie("uin", "o123", ".qq.com"), false, false, 1900000000)
                                       << QByteArray(".qq.com\tTRUE\t/\tFALSE\t1900000000\tuin\to123");
    QTest::newRow("secure") << withFlags(cookie("k", "v", ".qq.com"), true, false, 0)
                            << QByteArray(".qq.com\tTRUE\t/\tTRUE\t0\tk\tv");
    QTest::newRow("http-only") << withFlags(cookie("skey", "@x", ".qq.com"), false, true, 0)
                               << QByteArray("#HttpOnly_.qq.com\tTRUE\t/\tFALSE\t0\tskey\t@x");
    QTest::newRow("empty value") << cookie("flag", "", "qq.com") << QByteArray("qq.com\tFALSE\t/\tFALSE\t0\tflag\t");
    QTest::newRow("empty path becomes root") << cookie("a", "1", "qq.com", "")
                                             << QByteArray("qq.com\tFALSE\t/\tFALSE\t0\ta\t1");
    CookieRecord dotless = cookie("a", "1", "qq.com");
    dotless.hostOnly = false;
    QTest::newRow("domain cookie given without dot") << dotless << QByteArray(".qq.com\tTRUE\t/\tFALSE\t0\ta\t1");
    QTest::newRow("no name") << cookie("", "v", "qq.com") << QByteArray();
    QTest::newRow("no domain") << cookie("a", "v", "") << QByteArray();
    QTest::newRow("tab in value") << cookie("a", "x\ty", "qq.com") << QByteArray();
    QTest::newRow("line break in name") << cookie("a\nb", "v", "qq.com") << QByteArray();
    QTest::newRow("control character in path") << cookie("a", "v", "qq.com", "/\x01") << QByteArray();
}

void TestCookieRecord::writesNetscapeLines()
{
    QFETCH(CookieRecord, input);
    QFETCH(QByteArray, line);
    const std::optional<QByteArray> written = tarnelo::toNetscapeLine(input);
    QCOMPARE(written.value_or(QByteArray()), line);
    QCOMPARE(written.has_value(), !line.isEmpty());
}

void TestCookieRecord::readsNetscapeLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<std::optional<CookieRecord>>("expected");

    QTest::newRow("host-only session") << QByteArray("apps.game.qq.com\tFALSE\t/x\tFALSE\t0\tsid\tabc")
                                       << std::optional(cookie("sid", "abc", "apps.game.qq.com", "/x"));
    QTest::newRow("domain, future expiry") << QByteArray(".qq.com\tTRUE\t/\tFALSE\t1800000001\tuin\to1")
                                           << std::optional(withFlags(cookie("uin", "o1", ".qq.com"), false, false, 1800000001));
    QTest::newRow("domain flag without dot") << QByteArray("qq.com\tTRUE\t/\tFALSE\t0\ta\t1")
                                             << std::optional(cookie("a", "1", ".qq.com"));
    QTest::newRow("http-only secure") << QByteArray("#HttpOnly_.qq.com\tTRUE\t/\tTRUE\t0\tskey\t@x")
                                      << std::optional(withFlags(cookie("skey", "@x", ".qq.com"), true, true, 0));
    QTest::newRow("lower-case flags, line end") << QByteArray("qq.com\tfalse\t/\ttrue\t0\ta\t1\r\n")
                                                << std::optional(withFlags(cookie("a", "1", "qq.com"), true, false, 0));
    QTest::newRow("empty value, tab kept") << QByteArray("qq.com\tFALSE\t/\tFALSE\t0\ta\t")
                                           << std::optional(cookie("a", "", "qq.com"));
    QTest::newRow("empty value, tab dropped") << QByteArray("qq.com\tFALSE\t/\tFALSE\t0\ta")
                                              << std::optional(cookie("a", "", "qq.com"));
    QTest::newRow("expired now") << QByteArray(".qq.com\tTRUE\t/\tFALSE\t1800000000\ta\t1")
                                 << std::optional<CookieRecord>();
    QTest::newRow("expired long ago") << QByteArray(".qq.com\tTRUE\t/\tFALSE\t1\ta\t1")
                                      << std::optional<CookieRecord>();
    QTest::newRow("comment") << QByteArray("# Netscape HTTP Cookie File") << std::optional<CookieRecord>();
    QTest::newRow("blank") << QByteArray() << std::optional<CookieRecord>();
    QTest::newRow("too few fields") << QByteArray("qq.com\tFALSE\t/\tFALSE\t0") << std::optional<CookieRecord>();
    QTest::newRow("bad flag") << QByteArray("qq.com\tYES\t/\tFALSE\t0\ta\t1") << std::optional<CookieRecord>();
    QTest::newRow("bad expiry") << QByteArray("qq.com\tFALSE\t/\tFALSE\tsoon\ta\t1")
                                << std::optional<CookieRecord>();
    QTest::newRow("no domain") << QByteArray(".\tTRUE\t/\tFALSE\t0\ta\t1") << std::optional<CookieRecord>();
}

void TestCookieRecord::readsNetscapeLines()
{
    QFETCH(QByteArray, line);
    QFETCH(std::optional<CookieRecord>, expected);
    const std::optional<CookieRecord> read = tarnelo::fromNetscapeLine(line, now);
    QCOMPARE(read.has_value(), expected.has_value());
    if (expected)
        QCOMPARE(describe({*read}), describe({*expected}));
    QVERIFY(read == expected);
}

void TestCookieRecord::readsBackWhatItWrites()
{
    const std::vector<CookieRecord> cookies = {
        cookie("a", "1", "apps.game.qq.com", "/cgi-bin/dnf"),
        withFlags(cookie("b", "x=y;z", ".qq.com"), true, true, now + 3600),
        withFlags(cookie("c", "", ".video.qq.com"), false, true, 0),
    };
    for (const CookieRecord &c : cookies) {
        const std::optional<CookieRecord> back = tarnelo::fromNetscapeLine(*tarnelo::toNetscapeLine(c), now);
        QVERIFY2(back == c, tarnelo::toNetscapeLine(c)->constData());
    }
}

void TestCookieRecord::diffsCookieSets_data()
{
    QTest::addColumn<std::vector<CookieRecord>>("before");
    QTest::addColumn<std::vector<CookieRecord>>("after");
    QTest::addColumn<std::vector<CookieRecord>>("setOrChanged");
    QTest::addColumn<std::vector<CookieRecord>>("removed");

    const CookieRecord a = cookie("a", "1", ".qq.com");
    const CookieRecord b = cookie("b", "2", "apps.game.qq.com");
    const CookieRecord aChanged = cookie("a", "9", ".qq.com");
    const CookieRecord aOtherPath = cookie("a", "1", ".qq.com", "/cgi-bin");
    const CookieRecord aHostOnly = cookie("a", "1", "qq.com");
    const CookieRecord aLonger = withFlags(a, false, false, now + 60);
    const CookieRecord aSecure = withFlags(a, true, false, 0);

    using V = std::vector<CookieRecord>;
    QTest::newRow("nothing") << V{} << V{} << V{} << V{};
    QTest::newRow("unchanged") << V{a, b} << V{b, a} << V{} << V{};
    QTest::newRow("added") << V{a} << V{a, b} << V{b} << V{};
    QTest::newRow("removed") << V{a, b} << V{b} << V{} << V{a};
    QTest::newRow("value changed") << V{a, b} << V{aChanged, b} << V{aChanged} << V{};
    QTest::newRow("expiry changed") << V{a} << V{aLonger} << V{aLonger} << V{};
    QTest::newRow("flag changed") << V{a} << V{aSecure} << V{aSecure} << V{};
    QTest::newRow("same name, other path") << V{a} << V{aOtherPath} << V{aOtherPath} << V{a};
    QTest::newRow("same name, host-only") << V{a} << V{a, aHostOnly} << V{aHostOnly} << V{};
    QTest::newRow("all cleared") << V{a, b} << V{} << V{} << V{a, b};
}

void TestCookieRecord::diffsCookieSets()
{
    QFETCH(std::vector<CookieRecord>, before);
    QFETCH(std::vector<CookieRecord>, after);
    QFETCH(std::vector<CookieRecord>, setOrChanged);
    QFETCH(std::vector<CookieRecord>, removed);
    const CookieChanges changes = tarnelo::diffCookies(before, after);
    QCOMPARE(describe(changes.setOrChanged), describe(setOrChanged));
    QCOMPARE(describe(changes.removed), describe(removed));
    QCOMPARE(changes.isEmpty(), setOrChanged.empty() && removed.empty());
}

QTEST_GUILESS_MAIN(TestCookieRecord)
#include "tst_cookierecord.moc"
