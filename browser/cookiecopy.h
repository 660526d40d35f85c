#pragma once

// The frame's copy of the web profile's cookies, kept from the store's
// cookieAdded / cookieRemoved signals (the store offers no reliable way to list
// them), and the way back: what an HTTP answer changed is written into the store,
// where the next page load and the page's scripts see it.

#include "core/cookiestoreaccess.h"

#include <QObject>

#include <map>

class QNetworkCookie;
class QWebEngineCookieStore;

namespace tarnelo {

CookieRecord toCookieRecord(const QNetworkCookie &cookie);

class CookieCopy : public QObject, public CookieStoreAccess
{
    Q_OBJECT

public:
    // Connects before any page can load, so no cookie is missed.
    explicit CookieCopy(QWebEngineCookieStore *store, QObject *parent = nullptr);

    std::vector<CookieRecord> cookies() const override;
    void apply(const CookieChanges &changes) override;

private:
    void handleCookieAdded(const QNetworkCookie &cookie);
    void handleCookieRemoved(const QNetworkCookie &cookie);

    QWebEngineCookieStore *m_store;
    std::map<CookieKey, CookieRecord> m_cookies;
};

} // namespace tarnelo
