#pragma once

// One GET on a fresh curl easy handle: the request, the redirects it is sent
// on, the final answer's body and the cookie jar that curl keeps meanwhile.
//
// Redirects are followed here rather than by curl: where the first request's
// target is given to curl as written (CURLOPT_REQUEST_TARGET), curl would send
// that same target again on every hop.

#include "actions/curlhandles.h"
#include "actions/httpclient.h"
#include "actions/requestaddress.h"
#include "core/cookierecord.h"

#include <QByteArray>

#include <vector>

namespace tarnelo {

class HttpTransfer
{
public:
    // The transfer moves address.url along the redirects it follows.
    HttpTransfer(const HttpClientSettings &settings, CURLSH *share, const RequestAddress &address);
    HttpTransfer(const HttpTransfer &) = delete;
    HttpTransfer &operator=(const HttpTransfer &) = delete;

    // False when the handle could not be made or configured: nothing may be sent.
    bool isReady() const { return m_ready; }

    // Puts the cookies into this transfer's jar; curl decides which ones to send.
    void importCookies(const std::vector<CookieRecord> &cookies);
    // What the jar holds now, expired cookies left out.
    std::vector<CookieRecord> jar() const;

    // Sends the request, follows redirects, returns the final answer's body bytes:
    // nothing after a redirect loop or a redirect to another scheme.
    QByteArray perform();

private:
    struct Body {
        CURL *easy = nullptr;
        QByteArray bytes;
        std::size_t limit = 0;
    };
    static std::size_t receive(char *data, std::size_t size, std::size_t count, void *body);
    static QByteArray redirectAddress(CURL *easy);

    bool configure(const HttpClientSettings &settings, CURLSH *share, const RequestAddress &address);
    bool configureLists(const HttpClientSettings &settings);
    bool follow(const QByteArray &next);

    curl::Easy m_easy{curl_easy_init()};
    curl::Slist m_headers;
    curl::Slist m_resolve;
    curl::Slist m_connectTo;
    CURLU *m_url = nullptr;
    Body m_body;
    bool m_ready = false;
};

} // namespace tarnelo
