#include "actions/httpclient.h"
#include "core/actiontable.h"
#include "core/cookiestoreaccess.h"
#include "core/servicehosts.h"
#include "cookiefixtures.h"
#include "localhttpserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSslKey>
#include <QTcpServer>
#include <QTest>

using namespace tarnelo;
using tarnelo::testing::cookie;
using tarnelo::testing::describe;
using tarnelo::testing::LocalHttpServer;
using tarnelo::testing::withFlags;
using tarnelo::testing::ScriptedReply;
using Ending = ScriptedReply::Ending;

Q_DECLARE_METATYPE(ScriptedReply)
Q_DECLARE_METATYPE(CookieRecord)
Q_DECLARE_METATYPE(std::vector<CookieRecord>)

namespace {

constexpr char userAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char otherHost[] = "other.example";
constexpr std::size_t testBodyCap = 1u << 20;

// Stands for the browser's cookie store: holds records, keeps every change set.
class FakeCookieStore : public CookieStoreAccess
{
public:
    explicit FakeCookieStore(std::vector<CookieRecord> held = {}) : m_held(std::move(held)) {}

    std::vector<CookieRecord> cookies() const override { return m_held; }
    void apply(const CookieChanges &changes) override { m_applied.push_back(changes); }

    const std::vector<CookieChanges> &applied() const { return m_applied; }

private:
    std::vector<CookieRecord> m_held;
    std::vector<CookieChanges> m_applied;
};

// Every service host and otherHost reach the local server, on port 80 through
// CONNECT_TO and on the server's own port through RESOLVE.
HttpClientSettings settingsFor(quint16 port)
{
    HttpClientSettings settings;
    settings.stallTimeout = std::chrono::seconds(1);
    settings.maxBodyBytes = testBodyCap;
    std::vector<std::string> names(hosts::all.begin(), hosts::all.end());
    names.push_back(otherHost);
    for (const std::string &name : names) {
        settings.connectOverrides.push_back(name + ":80:127.0.0.1:" + std::to_string(port));
        settings.connectOverrides.push_back(name + ":443:127.0.0.1:" + std::to_string(port));
        settings.resolveOverrides.push_back(name + ':' + std::to_string(port) + ":127.0.0.1");
    }
    return settings;
}

testing::Responder always(const ScriptedReply &reply)
{
    return [reply](const QByteArray &) { return reply; };
}

ScriptedReply reply(const QByteArray &bytes, Ending ending = Ending::Close)
{
    return {bytes, ending, {}};
}

QByteArray requestTarget(const QByteArray &request)
{
    const QByteArray line = request.left(request.indexOf("\r\n"));
    return line.mid(4, line.lastIndexOf(' ') - 4);
}

QList<QByteArray> sentCookies(const QByteArray &request)
{
    QList<QByteArray> pairs = testing::headerValue(request, "Cookie").split(';');
    for (QByteArray &pair : pairs)
        pair = pair.trimmed();
    pairs.removeAll(QByteArray());
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();  // closed again when probe goes
}

QSslConfiguration tlsIdentity()
{
    QFile certFile(QFINDTESTDATA("fixtures/apps-game-qq-com.pem"));
    QFile keyFile(QFINDTESTDATA("fixtures/apps-game-qq-com.key"));
    certFile.open(QIODevice::ReadOnly);
    keyFile.open(QIODevice::ReadOnly);
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(QSslCertificate(&certFile));
    config.setPrivateKey(QSslKey(&keyFile, QSsl::Rsa));
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    return config;
}

} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void sendsRequestAsWritten_data();
    void sendsRequestAsWritten();
    void sendsNothingForUnusableAddress_data();
    void sendsNothingForUnusableAddress();
    void returnsBodyAsDelivered_data();
    void returnsBodyAsDelivered();
    void followsRedirects_data();
    void followsRedirects();
    void givesUpOnStall_data();
    void givesUpOnStall();
    void failsWithoutServer();
    void verifiesCertificates_data();
    void verifiesCertificates();
    void takesProxyFromEnvironment_data();
    void takesProxyFromEnvironment();
    void sendsBrowserCookies_data();
    void sendsBrowserCookies();
    void handsBackAnswerCookies_data();
    void handsBackAnswerCookies();
    void keepsCookiesToTheirHostsAcrossRedirect_data();
    void keepsCookiesToTheirHostsAcrossRedirect();
    void opensInternetHandleOnce();
};

void TestHttpClient::initTestCase()
{
    for (const char *name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
        qunsetenv(name);
}

void TestHttpClient::sendsRequestAsWritten_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("host");

    for (const ActionRow &row : actionTable()) {
        const QByteArray address = row.address;
        const qsizetype pathStart = address.indexOf('/', int(sizeof "http://") - 1);
        QTest::newRow(row.controlName.toUtf8()) << address << address.mid(pathStart)
                                                << address.mid(7, pathStart - 7);
    }
    // Rows on apps.game.qq.com: the address's tail, and the request target expected.
    const auto row = [](const char *name, const QByteArray &tail, const QByteArray &target) {
        QTest::newRow(name) << "http://apps.game.qq.com" + tail << target << QByteArray("apps.game.qq.com");
    };
    const auto same = [&](const char *name, const QByteArray &path) { row(name, path, path); };
    same("percent escapes kept", "/a%2Fb/%2e%2E/%41?x=%zz&y=%&z=%e4%BD%a0");
    same("dot segments kept", "/a/./b/../c");
    same("double slashes kept", "//x//y?");
    same("raw GBK bytes kept", "/\xc4\xe3?q=\xba\xc3");
    same("sub-delimiters kept", "/p;a=b/~!$'()*,+?a=1&a=2&b=?c/d@e:f");
    row("fragment cut", "/x?y=1#frag?z", "/x?y=1");
    row("empty fragment cut", "/x#", "/x");
    row("no path", "", "/");
    row("query without path", "?a=1", "/?a=1");
    QTest::newRow("explicit port") << QByteArray("http://apps.game.qq.com:{port}/x") << QByteArray("/x")
                                   << QByteArray("apps.game.qq.com:{port}");
}

void TestHttpClient::sendsRequestAsWritten()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, host);
    LocalHttpServer server(always(reply(testing::httpReply("ok"))));
    HttpClient client(settingsFor(server.port()));
    address.replace("{port}", QByteArray::number(server.port()));
    host.replace("{port}", QByteArray::number(server.port()));

    QCOMPARE(client.fetchBytes(address, nullptr), QByteArray("ok"));
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 1u);
    QCOMPARE(requests[0].raw, "GET " + target + " HTTP/1.0\r\nHost: " + host + "\r\nUser-Agent: " + userAgent
                                  + "\r\nAccept: */*\r\n\r\n");
}

void TestHttpClient::sendsNothingForUnusableAddress_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("fragment only") << QByteArray("#top");
    QTest::newRow("no scheme") << QByteArray("apps.game.qq.com/x");
    QTest::newRow("scheme-relative") << QByteArray("//apps.game.qq.com/x");
    QTest::newRow("no host") << QByteArray("http:///x");
    QTest::newRow("not an address") << QByteArray("点亮 图标");
    QTest::newRow("ftp") << QByteArray("ftp://apps.game.qq.com/x");
    QTest::newRow("file") << QByteArray("file:///etc/hostname");
    QTest::newRow("space in path") << QByteArray("http://apps.game.qq.com/a b");
    QTest::newRow("line break in path") << QByteArray("http://apps.game.qq.com/a\r\nX-Injected: 1");
    QTest::newRow("zero byte in path") << QByteArray("http://apps.game.qq.com/a\0b", 27);
    QTest::newRow("port out of range") << QByteArray("http://apps.game.qq.com:99999/x");
    QTest::newRow("bad IPv6 literal") << QByteArray("http://[::1/x");
}

void TestHttpClient::sendsNothingForUnusableAddress()
{
    QFETCH(QByteArray, address);
    LocalHttpServer server(always(reply(testing::httpReply("should not be asked"))));
    HttpClient client(settingsFor(server.port()));

    QCOMPARE(client.fetchBytes(address, nullptr), QByteArray());
    QCOMPARE(client.internetHandlesOpened(), 0);
    QTest::qWait(50);
    QCOMPARE(server.connections(), 0);
}

void TestHttpClient::returnsBodyAsDelivered_data()
{
    QTest::addColumn<ScriptedReply>("answer");
    QTest::addColumn<QByteArray>("body");

    const QByteArray html = "<html><body><h1>404 Not Found</h1></body></html>";
    QTest::newRow("content length exact") << reply(testing::httpReply("hello")) << QByteArray("hello");
    QTest::newRow("empty body") << reply(testing::httpReply("")) << QByteArray();
    QTest::newRow("binary with zero bytes") << reply(testing::httpReply(QByteArray("a\0b\xff", 4)))
                                            << QByteArray("a\0b\xff", 4);
    QTest::newRow("content length short") << reply("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nhello")
                                          << QByteArray("hel");
    QTest::newRow("content length long, closed") << reply("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nhello")
                                                 << QByteArray("hello");
    QTest::newRow("content length garbage") << reply("HTTP/1.0 200 OK\r\nContent-Length: many\r\n\r\nhello")
                                            << QByteArray();
    QTest::newRow("no content length") << reply("HTTP/1.0 200 OK\r\n\r\nhello") << QByteArray("hello");
    QTest::newRow("chunked") << reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                      "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n")
                             << QByteArray("hello world");
    QTest::newRow("chunked, cut") << reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n")
                                  << QByteArray("hello");
    QTest::newRow("reset mid-body") << reply("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nhello", Ending::Reset)
                                    << QByteArray("hello");
    QTest::newRow("404 with HTML") << reply(testing::httpReply(html, "404 Not Found", "Content-Type: text/html\r\n"))
                                   << html;
    QTest::newRow("500") << reply(testing::httpReply("oops", "500 Internal Server Error")) << QByteArray("oops");
    QTest::newRow("gzip left encoded") << reply(testing::httpReply(QByteArray("\x1f\x8b\x08\x00", 4), "200 OK", "Content-Encoding: gzip\r\n"))
                                       << QByteArray("\x1f\x8b\x08\x00", 4);
    QTest::newRow("HTTP/1.1 answer") << reply("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok") << QByteArray("ok");
    QTest::newRow("GBK body") << reply(testing::httpReply("\xc4\xe3\xba\xc3")) << QByteArray("\xc4\xe3\xba\xc3");
    const QByteArray capped(testBodyCap, 'c');
    QTest::newRow("body at the bound") << reply(testing::httpReply(capped)) << capped;
    QTest::newRow("body past the bound") << reply(testing::httpReply(capped + "dd")) << capped;
    QTest::newRow("endless body") << reply("HTTP/1.0 200 OK\r\n\r\n", Ending::Endless) << QByteArray(testBodyCap, 'x');
    QTest::newRow("endless chunked body") << reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                                   "40000000\r\n", Ending::Endless)
                                          << QByteArray(testBodyCap, 'x');
}

void TestHttpClient::returnsBodyAsDelivered()
{
    QFETCH(ScriptedReply, answer);
    QFETCH(QByteArray, body);
    LocalHttpServer server(always(answer));
    HttpClient client(settingsFor(server.port()));

    const QByteArray got = client.fetchBytes("http://apps.game.qq.com/x", nullptr);
    QCOMPARE(got.size(), body.size());
    QVERIFY(got == body);
}

void TestHttpClient::followsRedirects_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("finalRequest");  // request line and Host of the last request
    QTest::addColumn<int>("requestCount");

    QTest::newRow("302 to another host") << QByteArray("http://other.example/final?a=%41") << QByteArray("302 Found")
                                         << QByteArray("final") << QByteArray("GET /final?a=%41 HTTP/1.0\r\nHost: other.example") << 2;
    QTest::newRow("301, relative") << QByteArray("/final") << QByteArray("301 Moved Permanently")
                                   << QByteArray("final") << QByteArray("GET /final HTTP/1.0\r\nHost: apps.game.qq.com") << 2;
    QTest::newRow("303") << QByteArray("/final") << QByteArray("303 See Other") << QByteArray("final")
                         << QByteArray("GET /final HTTP/1.0\r\nHost: apps.game.qq.com") << 2;
    QTest::newRow("307, relative with dot segments") << QByteArray("/a/../final") << QByteArray("307 Temporary Redirect")
                                                    << QByteArray("final") << QByteArray("GET /final HTTP/1.0\r\nHost: apps.game.qq.com") << 2;
    QTest::newRow("308 to an odd target") << QByteArray("http://other.example/%7e/x?q=%zz") << QByteArray("308 Permanent Redirect")
                                          << QByteArray("final") << QByteArray("GET /%7e/x?q=%zz HTTP/1.0\r\nHost: other.example") << 2;
    QTest::newRow("loop gives nothing") << QByteArray("/start") << QByteArray("302 Found") << QByteArray()
                                        << QByteArray("GET /start HTTP/1.0\r\nHost: apps.game.qq.com") << 21;
    QTest::newRow("to ftp not followed") << QByteArray("ftp://other.example/final") << QByteArray("302 Found")
                                         << QByteArray() << QByteArray("GET /start HTTP/1.0\r\nHost: apps.game.qq.com") << 1;
    QTest::newRow("to file not followed") << QByteArray("file:///etc/hostname") << QByteArray("302 Found")
                                          << QByteArray() << QByteArray("GET /start HTTP/1.0\r\nHost: apps.game.qq.com") << 1;
    QTest::newRow("3xx without location is the answer") << QByteArray() << QByteArray("302 Found")
                                                         << QByteArray("moved") << QByteArray("GET /start HTTP/1.0\r\nHost: apps.game.qq.com") << 1;
}

void TestHttpClient::followsRedirects()
{
    QFETCH(QByteArray, location);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, finalRequest);
    QFETCH(int, requestCount);
    LocalHttpServer server([=](const QByteArray &request) {
        if (requestTarget(request) == "/start") {
            const QByteArray header = location.isEmpty() ? QByteArray() : "Location: " + location + "\r\n";
            return reply(testing::httpReply("moved", status, header));
        }
        return reply(testing::httpReply("final"));
    });
    HttpClient client(settingsFor(server.port()));

    QCOMPARE(client.fetchBytes("http://apps.game.qq.com/start", nullptr), body);
    const auto requests = server.requests();
    QCOMPARE(int(requests.size()), requestCount);
    QVERIFY2(requests.back().raw.startsWith(finalRequest + "\r\n"), requests.back().raw.constData());
}

void TestHttpClient::givesUpOnStall_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("no answer") << QByteArray() << QByteArray();
    QTest::newRow("head, then silence") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n") << QByteArray();
    QTest::newRow("part of the body, then silence") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhel")
                                                    << QByteArray("hel");
}

void TestHttpClient::givesUpOnStall()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, body);
    LocalHttpServer server(always(reply(sent, Ending::Hold)));
    HttpClient client(settingsFor(server.port()));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(client.fetchBytes("http://apps.game.qq.com/x", nullptr), body);
    // Not a failure at once, and not a hang: the stall time (1 s) ended it.
    QVERIFY2(clock.elapsed() >= 1000, QByteArray::number(clock.elapsed()));
    QVERIFY2(clock.elapsed() < 20000, QByteArray::number(clock.elapsed()));
}

void TestHttpClient::failsWithoutServer()
{
    HttpClient client(settingsFor(closedPort()));
    QCOMPARE(client.fetchBytes("http://apps.game.qq.com/x", nullptr), QByteArray());
    QCOMPARE(client.fetchBytes("http://unknown-host.invalid/x", nullptr), QByteArray());
}

void TestHttpClient::verifiesCertificates_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("trusted certificate") << QByteArray("https://apps.game.qq.com/x") << true << QByteArray("secret");
    QTest::newRow("unknown issuer") << QByteArray("https://apps.game.qq.com/x") << false << QByteArray();
    QTest::newRow("other host's certificate") << QByteArray("https://other.example/x") << true << QByteArray();
    QTest::newRow("plain http to a TLS port") << QByteArray("http://apps.game.qq.com:443/x") << true << QByteArray();
}

void TestHttpClient::verifiesCertificates()
{
    QFETCH(QByteArray, address);
    QFETCH(bool, trusted);
    QFETCH(QByteArray, body);
    LocalHttpServer server(always(reply(testing::httpReply("secret"))), tlsIdentity());
    HttpClientSettings settings = settingsFor(server.port());
    if (trusted)
        settings.caFile = QFINDTESTDATA("fixtures/apps-game-qq-com.pem").toStdString();
    HttpClient client(settings);

    QCOMPARE(client.fetchBytes(address, nullptr), body);
    QCOMPARE(int(server.requests().size()), body.isEmpty() ? 0 : 1);
}

void TestHttpClient::takesProxyFromEnvironment_data()
{
    QTest::addColumn<QByteArray>("noProxy");
    QTest::addColumn<QByteArray>("requestLine");
    QTest::newRow("through the proxy") << QByteArray()
                                       << QByteArray("GET http://apps.game.qq.com:{port}/x?y=%41 HTTP/1.0");
    QTest::newRow("host excluded") << QByteArray("qq.com") << QByteArray("GET /x?y=%41 HTTP/1.0");
}

void TestHttpClient::takesProxyFromEnvironment()
{
    QFETCH(QByteArray, noProxy);
    QFETCH(QByteArray, requestLine);
    // The same local server is proxy and origin; CONNECT_TO would make curl tunnel.
    LocalHttpServer server(always(reply(testing::httpReply("ok"))));
    HttpClientSettings settings = settingsFor(server.port());
    settings.connectOverrides.clear();
    HttpClient client(settings);
    const QByteArray port = QByteArray::number(server.port());
    qputenv("http_proxy", "http://127.0.0.1:" + port);
    qputenv("no_proxy", noProxy);
    const QByteArray body = client.fetchBytes("http://apps.game.qq.com:" + port + "/x?y=%41", nullptr);
    qunsetenv("http_proxy");
    qunsetenv("no_proxy");

    QCOMPARE(body, QByteArray("ok"));
    QCOMPARE(server.requests().size(), 1u);
    const QByteArray raw = server.requests()[0].raw;
    QCOMPARE(raw.left(raw.indexOf("\r\n")), requestLine.replace("{port}", port));
}

void TestHttpClient::sendsBrowserCookies_data()
{
    QTest::addColumn<CookieRecord>("held");
    QTest::addColumn<bool>("sent");

    const qint64 nextYear = QDateTime::currentSecsSinceEpoch() + 365 * 86400;
    QTest::newRow("persistent, QQ domain") << withFlags(cookie("uin", "o1", ".qq.com"), false, false, nextYear) << true;
    QTest::newRow("session, QQ domain") << cookie("skey", "@a", ".qq.com") << true;
    QTest::newRow("HttpOnly") << withFlags(cookie("p_skey", "x", ".game.qq.com"), false, true) << true;
    QTest::newRow("host-only, this host") << cookie("h", "1", "apps.game.qq.com") << true;
    QTest::newRow("host-only, parent host") << cookie("h", "1", "game.qq.com") << false;
    QTest::newRow("host-only, sub-host") << cookie("h", "1", "x.apps.game.qq.com") << false;
    QTest::newRow("domain of a sibling") << cookie("s", "1", ".video.qq.com") << false;
    QTest::newRow("other site") << cookie("o", "1", ".other.example") << false;
    QTest::newRow("Secure over http") << withFlags(cookie("sec", "1", ".qq.com"), true, false) << false;
    QTest::newRow("path prefix") << cookie("p", "1", ".qq.com", "/cgi-bin") << true;
    QTest::newRow("path of the script's folder") << cookie("p", "1", ".qq.com", "/cgi-bin/dnf/lighticon") << true;
    QTest::newRow("other path") << cookie("p", "1", ".qq.com", "/fcgi-bin") << false;
    QTest::newRow("partial path segment") << cookie("p", "1", ".qq.com", "/cgi") << false;
    QTest::newRow("expired") << withFlags(cookie("old", "1", ".qq.com"), false, false, 1000) << false;
}

void TestHttpClient::sendsBrowserCookies()
{
    QFETCH(CookieRecord, held);
    QFETCH(bool, sent);
    LocalHttpServer server(always(reply(testing::httpReply("ok"))));
    HttpClient client(settingsFor(server.port()));
    FakeCookieStore store({held, cookie("always", "1", ".qq.com")});

    QCOMPARE(client.fetchBytes("http://apps.game.qq.com/cgi-bin/dnf/lighticon/DnfIcon.cgi?sAreaId=2", &store),
             QByteArray("ok"));
    QList<QByteArray> expected{"always=1"};
    if (sent)
        expected.append(held.name + '=' + held.value);
    std::sort(expected.begin(), expected.end());
    QCOMPARE(sentCookies(server.requests().at(0).raw), expected);
    QVERIFY(store.applied().empty());
}

void TestHttpClient::handsBackAnswerCookies_data()
{
    QTest::addColumn<std::vector<CookieRecord>>("held");
    QTest::addColumn<QByteArray>("setCookies");
    QTest::addColumn<std::vector<CookieRecord>>("setOrChanged");
    QTest::addColumn<std::vector<CookieRecord>>("removed");

    using V = std::vector<CookieRecord>;
    const CookieRecord uin = cookie("uin", "o1", ".qq.com");
    const qint64 in2031 = 1924992000;
    QTest::newRow("new session cookie") << V{} << QByteArray("Set-Cookie: n=1; Domain=qq.com; Path=/\r\n")
                                        << V{cookie("n", "1", ".qq.com")} << V{};
    QTest::newRow("new host-only cookie") << V{} << QByteArray("Set-Cookie: h=1; Path=/cgi-bin\r\n")
                                          << V{cookie("h", "1", "apps.game.qq.com", "/cgi-bin")} << V{};
    QTest::newRow("persistent HttpOnly") << V{}
                                         << QByteArray("Set-Cookie: p=2; Domain=.qq.com; Path=/; HttpOnly; "
                                                       "Expires=Wed, 01 Jan 2031 00:00:00 GMT\r\n")
                                         << V{withFlags(cookie("p", "2", ".qq.com"), false, true, in2031)} << V{};
    QTest::newRow("two at once") << V{} << QByteArray("Set-Cookie: a=1; Domain=qq.com; Path=/\r\n"
                                                      "Set-Cookie: b=2; Domain=game.qq.com; Path=/\r\n")
                                 << V{cookie("a", "1", ".qq.com"), cookie("b", "2", ".game.qq.com")} << V{};
    QTest::newRow("value changed") << V{uin} << QByteArray("Set-Cookie: uin=o2; Domain=qq.com; Path=/\r\n")
                                   << V{cookie("uin", "o2", ".qq.com")} << V{};
    QTest::newRow("same again") << V{uin} << QByteArray("Set-Cookie: uin=o1; Domain=qq.com; Path=/\r\n") << V{} << V{};
    QTest::newRow("deleted by Max-Age=0") << V{uin} << QByteArray("Set-Cookie: uin=; Domain=qq.com; Path=/; Max-Age=0\r\n")
                                          << V{} << V{uin};
    QTest::newRow("deleted by past Expires")
        << V{uin} << QByteArray("Set-Cookie: uin=x; Domain=qq.com; Path=/; Expires=Thu, 01 Jan 1998 00:00:00 GMT\r\n")
        << V{} << V{uin};
    QTest::newRow("Secure from http ignored") << V{} << QByteArray("Set-Cookie: s=1; Domain=qq.com; Path=/; Secure\r\n")
                                              << V{} << V{};
    QTest::newRow("foreign domain ignored") << V{} << QByteArray("Set-Cookie: f=1; Domain=other.example; Path=/\r\n")
                                            << V{} << V{};
    QTest::newRow("nothing set") << V{uin} << QByteArray() << V{} << V{};
}

void TestHttpClient::handsBackAnswerCookies()
{
    QFETCH(std::vector<CookieRecord>, held);
    QFETCH(QByteArray, setCookies);
    QFETCH(std::vector<CookieRecord>, setOrChanged);
    QFETCH(std::vector<CookieRecord>, removed);
    LocalHttpServer server(always(reply(testing::httpReply("ok", "200 OK", setCookies))));
    HttpClient client(settingsFor(server.port()));
    FakeCookieStore store(held);

    QCOMPARE(client.fetchBytes("http://apps.game.qq.com/cgi-bin/x", &store), QByteArray("ok"));
    const bool changed = !setOrChanged.empty() || !removed.empty();
    QCOMPARE(store.applied().size(), changed ? 1u : 0u);
    if (changed) {
        QCOMPARE(describe(store.applied()[0].setOrChanged), describe(setOrChanged));
        QCOMPARE(describe(store.applied()[0].removed), describe(removed));
    }
}

void TestHttpClient::keepsCookiesToTheirHostsAcrossRedirect_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QList<QByteArray>>("sentThere");
    QTest::newRow("to another site") << QByteArray("http://other.example/final") << QList<QByteArray>{};
    QTest::newRow("to another QQ host") << QByteArray("http://sns.video.qq.com/final")
                                        << QList<QByteArray>{"onTheWay=1", "uin=o1"};
}

void TestHttpClient::keepsCookiesToTheirHostsAcrossRedirect()
{
    QFETCH(QByteArray, target);
    QFETCH(QList<QByteArray>, sentThere);
    LocalHttpServer server([=](const QByteArray &request) {
        if (requestTarget(request) == "/start")
            return reply(testing::httpReply("", "302 Found",
                                            "Location: " + target + "\r\nSet-Cookie: onTheWay=1; Domain=qq.com; Path=/\r\n"));
        return reply(testing::httpReply("final", "200 OK", "Set-Cookie: there=1; Path=/\r\n"));
    });
    HttpClient client(settingsFor(server.port()));
    FakeCookieStore store({cookie("uin", "o1", ".qq.com"), cookie("host", "1", "apps.game.qq.com")});

    QCOMPARE(client.fetchBytes("http://apps.game.qq.com/start", &store), QByteArray("final"));
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 2u);
    QCOMPARE(sentCookies(requests[0].raw), (QList<QByteArray>{"host=1", "uin=o1"}));
    QCOMPARE(sentCookies(requests[1].raw), sentThere);
    const QByteArray targetHost = target.mid(7, target.indexOf('/', 7) - 7);
    QCOMPARE(store.applied().size(), 1u);
    QCOMPARE(describe(store.applied()[0].setOrChanged),
             describe({cookie("onTheWay", "1", ".qq.com"), cookie("there", "1", targetHost.constData())}));
    QVERIFY(store.applied()[0].removed.empty());
}

void TestHttpClient::opensInternetHandleOnce()
{
    // An answer that offers to keep the connection: the next fetch must not use it.
    LocalHttpServer server(always(reply("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: keep-alive\r\n\r\nok",
                                        Ending::Hold)));
    HttpClient client(settingsFor(server.port()));
    QCOMPARE(client.internetHandlesOpened(), 0);
    client.fetchBytes("", nullptr);
    QCOMPARE(client.internetHandlesOpened(), 0);

    HttpClient refused(settingsFor(closedPort()));
    QCOMPARE(refused.fetchBytes("http://apps.game.qq.com/x", nullptr), QByteArray());
    QCOMPARE(refused.internetHandlesOpened(), 1);

    const QByteArray address = actionTable()[0].address;
    for (int i = 0; i < 3; ++i)
        QCOMPARE(client.fetchBytes(address, nullptr), QByteArray("ok"));
    QCOMPARE(client.fetchBytes(actionTable()[2].address, nullptr), QByteArray("ok"));
    QCOMPARE(client.internetHandlesOpened(), 1);
    QCOMPARE(server.requests().size(), 4u);
    QCOMPARE(server.connections(), 4);
}

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
