#include "actions/httpclient.h"

#include "actions/httptransfer.h"
#include "actions/internethandle.h"
#include "actions/requestaddress.h"
#include "core/cookiestoreaccess.h"

#include <csignal>
#include <exception>

namespace tarnelo {
namespace {

QByteArray fetchWith(const HttpClientSettings &settings, CURLSH *share, const RequestAddress &address,
                     CookieStoreAccess *cookies)
{
    HttpTransfer transfer(settings, share, address);
    if (!transfer.isReady())
        return {};
    if (cookies)
        transfer.importCookies(cookies->cookies());
    // The baseline is what curl accepted, so only the answers' doing comes back.
    const std::vector<CookieRecord> before = transfer.jar();
    QByteArray body = transfer.perform();
    if (cookies) {
        const CookieChanges changes = diffCookies(before, transfer.jar());
        if (!changes.isEmpty())
            cookies->apply(changes);
    }
    return body;
}

} // namespace

HttpClient::HttpClient(HttpClientSettings settings)
    : m_settings(std::move(settings))
{
    std::signal(SIGPIPE, SIG_IGN);
}

HttpClient::~HttpClient() = default;

QByteArray HttpClient::fetchBytes(const QByteArray &address, CookieStoreAccess *cookies)
{
    try {
        const std::optional<RequestAddress> split = splitRequestAddress(address);
        if (!split)
            return {};
        InternetHandle *internet = internetHandle();
        if (!internet)
            return {};
        return fetchWith(m_settings, internet->share(), *split, cookies);
    } catch (const std::exception &) {
        return {};  // out of memory: a failure like any other
    }
}

int HttpClient::internetHandlesOpened() const
{
    return m_internetHandlesOpened;
}

InternetHandle *HttpClient::internetHandle()
{
    if (!m_internetHandle) {
        auto handle = std::make_unique<InternetHandle>();
        if (!handle->isOpen())
            return nullptr;
        m_internetHandle = std::move(handle);
        ++m_internetHandlesOpened;
    }
    return m_internetHandle.get();
}

} // namespace tarnelo
