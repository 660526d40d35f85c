#pragma once

// The HTTP client of the icon actions: one blocking GET per call, the way the
// services expect it from an old Internet Explorer, with the browser's cookies.
// libcurl stays behind this header; nothing of it shows here.
//
// What goes on the wire: "GET <path and query, byte for byte> HTTP/1.0", Host,
// the IE 6 User-Agent, one "Accept: */*", the cookies curl picks for the host
// from the browser's copy, nothing else (no Referer, no cache headers, no body).
// Redirects (http and https only, at most 20) are followed by the client; the
// body returned is the final answer's, whatever its status.
//
// Failures give an empty buffer and nothing else: an empty or unsplittable
// address, no client handle, no connection, a refused or failed TLS handshake
// (certificates are verified), no answer before the stall time, a redirect loop.
// Once the final answer has begun, the body bytes that arrived are the result,
// also when the read fails part-way (cut, reset, stalled) or passes the size
// bound, where the bytes up to the bound are kept.

#include <QByteArray>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tarnelo {

class CookieStoreAccess;
class InternetHandle;

struct HttpClientSettings {
    std::chrono::milliseconds connectTimeout{60000};
    // No byte for this long fails the transfer; curl counts it in whole seconds
    // (rounded up) and notices a stall after its few-second speed window.
    std::chrono::milliseconds stallTimeout{30000};
    std::size_t maxBodyBytes = 16u << 20;
    std::vector<std::string> resolveOverrides;  // CURLOPT_RESOLVE "host:port:address", for tests only
    std::vector<std::string> connectOverrides;  // CURLOPT_CONNECT_TO "host:port:address:port", for tests only
    std::string caFile;  // CURLOPT_CAINFO in place of the system's certificates, for tests only
};

class HttpClient
{
public:
    // Ignores SIGPIPE for the process: a peer closing a socket must not kill it.
    explicit HttpClient(HttpClientSettings settings = {});
    ~HttpClient();
    HttpClient(const HttpClient &) = delete;
    HttpClient &operator=(const HttpClient &) = delete;

    // One GET of `address` (its fragment cut). The request carries the cookies of
    // `cookies` (may be null) that belong to it; what the answers set, change or
    // expire is handed back through cookies->apply(), and only when something did.
    QByteArray fetchBytes(const QByteArray &address, CookieStoreAccess *cookies);

    // How often the process-long client handle was made: 1 once a fetch got that far.
    int internetHandlesOpened() const;

private:
    InternetHandle *internetHandle();

    HttpClientSettings m_settings;
    std::unique_ptr<InternetHandle> m_internetHandle;
    int m_internetHandlesOpened = 0;
};

} // namespace tarnelo
