#include "actions/httptransfer.h"

#include <QDateTime>

#include <algorithm>
#include <new>

namespace tarnelo {
namespace {

constexpr char userAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long maxRedirects = 20;

template <typename T>
bool set(CURL *easy, CURLoption option, T value)
{
    return curl_easy_setopt(easy, option, value) == CURLE_OK;
}

long wholeSeconds(std::chrono::milliseconds time)
{
    return std::max<long>(1, long((time.count() + 999) / 1000));
}

bool appendAll(curl::Slist &list, const std::vector<std::string> &lines)
{
    return std::all_of(lines.begin(), lines.end(), [&](const std::string &line) {
        return curl::append(list, line.c_str());
    });
}

} // namespace

HttpTransfer::HttpTransfer(const HttpClientSettings &settings, CURLSH *share, const RequestAddress &address)
    : m_url(address.url.get())
{
    m_body.easy = m_easy.get();
    m_body.limit = settings.maxBodyBytes;
    m_ready = m_easy && configure(settings, share, address);
}

bool HttpTransfer::configureLists(const HttpClientSettings &settings)
{
    // Replaces curl's own Accept, so exactly one goes out.
    return curl::append(m_headers, "Accept: */*") && appendAll(m_resolve, settings.resolveOverrides)
        && appendAll(m_connectTo, settings.connectOverrides);
}

bool HttpTransfer::configure(const HttpClientSettings &settings, CURLSH *share, const RequestAddress &address)
{
    CURL *easy = m_easy.get();
    // PATH_AS_IS: no dot segments removed from redirect targets either.
    // FORBID_REUSE: the connection ends with the fetch.
    // NOSIGNAL: no alarm() for name look-ups; SIGPIPE is ignored by the client.
    return configureLists(settings) && set(easy, CURLOPT_CURLU, m_url)
        && (!curlWouldEncode(address.target) || set(easy, CURLOPT_REQUEST_TARGET, address.target.constData()))
        && set(easy, CURLOPT_PATH_AS_IS, 1L)
        && set(easy, CURLOPT_PROTOCOLS_STR, "http,https") && set(easy, CURLOPT_FOLLOWLOCATION, 0L)
        && set(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0)) && set(easy, CURLOPT_USERAGENT, userAgent)
        && set(easy, CURLOPT_HTTPHEADER, m_headers.get()) && set(easy, CURLOPT_RESOLVE, m_resolve.get())
        && set(easy, CURLOPT_CONNECT_TO, m_connectTo.get()) && set(easy, CURLOPT_SHARE, share)
        && set(easy, CURLOPT_FORBID_REUSE, 1L) && set(easy, CURLOPT_NOSIGNAL, 1L)
        && set(easy, CURLOPT_CONNECTTIMEOUT_MS, long(settings.connectTimeout.count()))
        && set(easy, CURLOPT_LOW_SPEED_LIMIT, 1L)
        && set(easy, CURLOPT_LOW_SPEED_TIME, wholeSeconds(settings.stallTimeout))
        && set(easy, CURLOPT_SSL_VERIFYPEER, 1L) && set(easy, CURLOPT_SSL_VERIFYHOST, 2L)
        && (settings.caFile.empty() || set(easy, CURLOPT_CAINFO, settings.caFile.c_str()))
        && set(easy, CURLOPT_COOKIEFILE, "") && set(easy, CURLOPT_WRITEFUNCTION, &HttpTransfer::receive)
        && set(easy, CURLOPT_WRITEDATA, &m_body);
}

void HttpTransfer::importCookies(const std::vector<CookieRecord> &cookies)
{
    for (const CookieRecord &cookie : cookies) {
        if (const std::optional<QByteArray> line = toNetscapeLine(cookie))
            curl_easy_setopt(m_easy.get(), CURLOPT_COOKIELIST, line->constData());
    }
}

std::vector<CookieRecord> HttpTransfer::jar() const
{
    std::vector<CookieRecord> cookies;
    curl_slist *raw = nullptr;
    if (!m_easy || curl_easy_getinfo(m_easy.get(), CURLINFO_COOKIELIST, &raw) != CURLE_OK)
        return cookies;
    const curl::Slist lines(raw);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const curl_slist *line = lines.get(); line; line = line->next) {
        if (std::optional<CookieRecord> cookie = fromNetscapeLine(line->data, now))
            cookies.push_back(std::move(*cookie));
    }
    return cookies;
}

QByteArray HttpTransfer::perform()
{
    if (!m_ready)
        return {};
    for (long redirects = 0;; ++redirects) {
        m_body.bytes.clear();
        // However this ends (complete, cut, stalled, capped), the bytes that
        // arrived are the answer's.
        curl_easy_perform(m_easy.get());
        const QByteArray next = redirectAddress(m_easy.get());
        if (next.isEmpty())
            return m_body.bytes;
        if (redirects == maxRedirects || !follow(next))
            return {};
    }
}

bool HttpTransfer::follow(const QByteArray &next)
{
    CURL *easy = m_easy.get();
    // The jar stays with the handle, so cookies set on the way are kept and sent on.
    return isWebAddress(next) && curl_url_set(m_url, CURLUPART_URL, next.constData(), CURLU_PATH_AS_IS) == CURLUE_OK
        && set(easy, CURLOPT_CURLU, m_url) && set(easy, CURLOPT_REQUEST_TARGET, static_cast<const char *>(nullptr));
}

// Where curl would go next: set from a 3xx answer's Location, before its body.
QByteArray HttpTransfer::redirectAddress(CURL *easy)
{
    const char *next = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &next) != CURLE_OK || !next)
        return {};
    return QByteArray(next);
}

std::size_t HttpTransfer::receive(char *data, std::size_t size, std::size_t count, void *target)
{
    Body &body = *static_cast<Body *>(target);
    const std::size_t length = size * count;
    if (!redirectAddress(body.easy).isEmpty())
        return 0;  // a redirect's body is not wanted: on to the next hop
    const std::size_t held = std::size_t(body.bytes.size());
    const std::size_t kept = std::min(length, body.limit - std::min(body.limit, held));
    try {
        body.bytes.append(data, qsizetype(kept));
    } catch (const std::bad_alloc &) {
        return 0;
    }
    return kept;  // past the bound, a short count ends the read as if the answer had
}

} // namespace tarnelo
