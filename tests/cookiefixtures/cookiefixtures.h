#pragma once

// Cookie records built the short way, for the tests of the cookie lines and of
// the HTTP client.

#include "core/cookierecord.h"

#include <vector>

namespace tarnelo::testing {

// A cookie on `domain`: a domain cookie when it starts with ".", else host-only.
inline CookieRecord cookie(const char *name, const char *value, const char *domain, const char *path = "/")
{
    CookieRecord c;
    c.name = name;
    c.value = value;
    c.domain = QString::fromUtf8(domain);
    c.path = QString::fromUtf8(path);
    c.hostOnly = !c.domain.startsWith(u'.');
    return c;
}

inline CookieRecord withFlags(CookieRecord c, bool secure, bool httpOnly, qint64 expiry = 0)
{
    c.secure = secure;
    c.httpOnly = httpOnly;
    c.expiry = expiry;
    return c;
}

// One Netscape line per cookie, for failure messages.
inline QByteArray describe(const std::vector<CookieRecord> &cookies)
{
    QByteArray text;
    for (const CookieRecord &c : cookies)
        text += toNetscapeLine(c).value_or("<unwritable>") + '\n';
    return text;
}

} // namespace tarnelo::testing
