#include "core/cookierecord.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace tarnelo {
namespace {

constexpr char httpOnlyPrefix[] = "#HttpOnly_";

bool fitsOnLine(const QByteArray &field)
{
    return std::none_of(field.begin(), field.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f;
    });
}

QByteArray flag(bool on)
{
    return on ? QByteArrayLiteral("TRUE") : QByteArrayLiteral("FALSE");
}

std::optional<bool> readFlag(const QByteArray &field)
{
    if (field.compare("TRUE", Qt::CaseInsensitive) == 0)
        return true;
    if (field.compare("FALSE", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

QString bareDomain(const QString &domain)
{
    return domain.startsWith(u'.') ? domain.mid(1) : domain;
}

QString canonicalDomain(const QString &domain, bool hostOnly)
{
    return hostOnly ? bareDomain(domain) : u'.' + bareDomain(domain);
}

std::map<CookieKey, const CookieRecord *> byKey(const std::vector<CookieRecord> &cookies)
{
    std::map<CookieKey, const CookieRecord *> map;
    for (const CookieRecord &cookie : cookies)
        map[cookie.key()] = &cookie;
    return map;
}

} // namespace

bool operator<(const CookieKey &a, const CookieKey &b)
{
    return std::tie(a.name, a.domain, a.path) < std::tie(b.name, b.domain, b.path);
}

std::optional<QByteArray> toNetscapeLine(const CookieRecord &cookie)
{
    const QByteArray domain = bareDomain(cookie.domain).toUtf8();
    const QByteArray path = cookie.path.isEmpty() ? QByteArrayLiteral("/") : cookie.path.toUtf8();
    if (cookie.name.isEmpty() || domain.isEmpty() || domain.startsWith('#'))
        return std::nullopt;
    if (!fitsOnLine(cookie.name) || !fitsOnLine(cookie.value) || !fitsOnLine(domain) || !fitsOnLine(path))
        return std::nullopt;
    QByteArray line = cookie.httpOnly ? QByteArray(httpOnlyPrefix) : QByteArray();
    line += (cookie.hostOnly ? domain : '.' + domain) + '\t' + flag(!cookie.hostOnly) + '\t' + path + '\t'
        + flag(cookie.secure) + '\t' + QByteArray::number(std::max<qint64>(cookie.expiry, 0)) + '\t'
        + cookie.name + '\t' + cookie.value;
    return line;
}

std::optional<CookieRecord> fromNetscapeLine(const QByteArray &line, qint64 now)
{
    QByteArray text = line;
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    CookieRecord cookie;
    cookie.httpOnly = text.startsWith(httpOnlyPrefix);
    if (cookie.httpOnly)
        text.remove(0, sizeof httpOnlyPrefix - 1);
    else if (text.startsWith('#'))
        return std::nullopt;
    const QList<QByteArray> fields = text.split('\t');
    if (fields.size() != 6 && fields.size() != 7)
        return std::nullopt;
    const std::optional<bool> subdomains = readFlag(fields[1]);
    const std::optional<bool> secure = readFlag(fields[3]);
    bool expiryOk = false;
    cookie.expiry = fields[4].toLongLong(&expiryOk);
    if (!subdomains || !secure || !expiryOk || cookie.expiry < 0)
        return std::nullopt;
    if (cookie.expiry >= 1 && cookie.expiry <= now)
        return std::nullopt;
    cookie.hostOnly = !*subdomains;
    cookie.secure = *secure;
    cookie.domain = canonicalDomain(QString::fromUtf8(fields[0]), cookie.hostOnly);
    cookie.path = QString::fromUtf8(fields[2]);
    cookie.name = fields[5];
    cookie.value = fields.size() == 7 ? fields[6] : QByteArray();
    if (bareDomain(cookie.domain).isEmpty() || cookie.path.isEmpty() || cookie.name.isEmpty())
        return std::nullopt;
    return cookie;
}

CookieChanges diffCookies(const std::vector<CookieRecord> &before, const std::vector<CookieRecord> &after)
{
    const auto old = byKey(before);
    const auto now = byKey(after);
    CookieChanges changes;
    for (const auto &[key, cookie] : now) {
        const auto found = old.find(key);
        if (found == old.end() || !(*found->second == *cookie))
            changes.setOrChanged.push_back(*cookie);
    }
    for (const auto &[key, cookie] : old) {
        if (!now.contains(key))
            changes.removed.push_back(*cookie);
    }
    return changes;
}

} // namespace tarnelo
