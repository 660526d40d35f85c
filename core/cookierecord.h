#pragma once

// Cookies as the browser's store and the HTTP client exchange them. The client
// (libcurl) speaks Netscape cookie lines; the browser side keeps records. Each
// request imports the browser's cookies into the client, and only what the
// answer changed goes back, so nothing bounces between the two stores.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace tarnelo {

struct CookieKey {
    QByteArray name;
    QString domain;
    QString path;

    friend bool operator==(const CookieKey &, const CookieKey &) = default;
    friend bool operator<(const CookieKey &a, const CookieKey &b);
};

struct CookieRecord {
    QByteArray name;
    QByteArray value;
    QString domain;  // ".example.com" for a domain cookie, "example.com" for host-only
    QString path;
    bool hostOnly = false;
    bool secure = false;
    bool httpOnly = false;
    qint64 expiry = 0;  // seconds since the epoch; 0 for a session cookie

    CookieKey key() const { return {name, domain, path}; }
    friend bool operator==(const CookieRecord &, const CookieRecord &) = default;
};

struct CookieChanges {
    std::vector<CookieRecord> setOrChanged;  // new cookies and new versions of old ones
    std::vector<CookieRecord> removed;       // as they were before, expired or deleted

    bool isEmpty() const { return setOrChanged.empty() && removed.empty(); }
};

// The cookie as one Netscape line: "#HttpOnly_" for HttpOnly, then domain,
// TRUE|FALSE (include subdomains), path, TRUE|FALSE (secure), expiry (0 for a
// session cookie), name and value, separated by tabs. Nothing for a cookie the
// format cannot carry: no name or domain, or a tab, line break or other control
// character in a field (the client splits on runs of tabs).
std::optional<QByteArray> toNetscapeLine(const CookieRecord &cookie);

// Nothing for comments, blank or malformed lines, and for cookies that expired
// at or before `now` (seconds since the epoch); a session cookie never has.
std::optional<CookieRecord> fromNetscapeLine(const QByteArray &line, qint64 now);

// What turned `before` into `after`, matched by name, domain and path.
CookieChanges diffCookies(const std::vector<CookieRecord> &before, const std::vector<CookieRecord> &after);

} // namespace tarnelo
