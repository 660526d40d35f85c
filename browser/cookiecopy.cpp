#include "browser/cookiecopy.h"

#include <QDateTime>
#include <QNetworkCookie>
#include <QUrl>
#include <QWebEngineCookieStore>

namespace tarnelo {
namespace {

QNetworkCookie toNetworkCookie(const CookieRecord &record)
{
    QNetworkCookie cookie(record.name, record.value);
    // The store makes any cookie with a domain a domain cookie; a host-only one
    // is given no domain and takes its host from the origin instead.
    if (!record.hostOnly)
        cookie.setDomain(record.domain);
    cookie.setPath(record.path);
    cookie.setSecure(record.secure);
    cookie.setHttpOnly(record.httpOnly);
    if (record.expiry != 0)
        cookie.setExpirationDate(QDateTime::fromSecsSinceEpoch(record.expiry));
    return cookie;
}

// A Secure cookie is dropped unless its origin is secure too.
QUrl originOf(const CookieRecord &record)
{
    QString host = record.domain;
    if (host.startsWith(u'.'))
        host.remove(0, 1);
    QUrl origin;
    origin.setScheme(record.secure ? QStringLiteral("https") : QStringLiteral("http"));
    origin.setHost(host);
    origin.setPath(record.path.isEmpty() ? QStringLiteral("/") : record.path);
    return origin;
}

} // namespace

CookieRecord toCookieRecord(const QNetworkCookie &cookie)
{
    CookieRecord record;
    record.name = cookie.name();
    record.value = cookie.value();
    record.domain = cookie.domain();
    record.hostOnly = !record.domain.startsWith(u'.');
    record.path = cookie.path().isEmpty() ? QStringLiteral("/") : cookie.path();
    record.secure = cookie.isSecure();
    record.httpOnly = cookie.isHttpOnly();
    record.expiry = cookie.isSessionCookie() ? 0 : cookie.expirationDate().toSecsSinceEpoch();
    return record;
}

CookieCopy::CookieCopy(QWebEngineCookieStore *store, QObject *parent) : QObject(parent), m_store(store)
{
    connect(store, &QWebEngineCookieStore::cookieAdded, this, &CookieCopy::handleCookieAdded);
    connect(store, &QWebEngineCookieStore::cookieRemoved, this, &CookieCopy::handleCookieRemoved);
}

std::vector<CookieRecord> CookieCopy::cookies() const
{
    std::vector<CookieRecord> all;
    all.reserve(m_cookies.size());
    for (const auto &[key, record] : m_cookies)
        all.push_back(record);
    return all;
}

void CookieCopy::apply(const CookieChanges &changes)
{
    // The copy changes at once: the store reports back only later, and the next
    // request may already need the new state.
    for (const CookieRecord &record : changes.removed) {
        m_cookies.erase(record.key());
        m_store->deleteCookie(toNetworkCookie(record), originOf(record));
    }
    for (const CookieRecord &record : changes.setOrChanged) {
        m_cookies[record.key()] = record;
        m_store->setCookie(toNetworkCookie(record), originOf(record));
    }
}

void CookieCopy::handleCookieAdded(const QNetworkCookie &cookie)
{
    const CookieRecord record = toCookieRecord(cookie);
    m_cookies[record.key()] = record;
}

void CookieCopy::handleCookieRemoved(const QNetworkCookie &cookie)
{
    m_cookies.erase(toCookieRecord(cookie).key());
}

} // namespace tarnelo
