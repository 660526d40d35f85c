#include "actions/requestaddress.h"

#include "core/pageaddress.h"

#include <algorithm>

namespace tarnelo {
namespace {

constexpr QByteArrayView schemeEnd = "://";

bool fitsRequestLine(const QByteArray &target)
{
    return std::none_of(target.begin(), target.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= 0x20 || u == 0x7f;
    });
}

curl::Url parsedByCurl(const QByteArray &address)
{
    curl::Url url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.constData(), CURLU_PATH_AS_IS) != CURLUE_OK)
        return nullptr;
    return url;
}

} // namespace

bool curlWouldEncode(const QByteArray &target)
{
    const QByteArray path = target.left(target.indexOf('?'));
    return std::any_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) > 0x7f; });
}

bool isWebAddress(const QByteArray &url)
{
    const QByteArray scheme = url.left(url.indexOf(schemeEnd)).toLower();
    return url.contains(schemeEnd) && (scheme == "http" || scheme == "https");
}

std::optional<RequestAddress> splitRequestAddress(const QByteArray &address)
{
    const QByteArray whole = withoutFragment(address);
    if (whole.contains('\0') || !isWebAddress(whole))
        return std::nullopt;
    const qsizetype authority = whole.indexOf(schemeEnd) + schemeEnd.size();
    qsizetype tail = authority;
    while (tail < whole.size() && whole[tail] != '/' && whole[tail] != '?')
        ++tail;
    QByteArray target = whole.mid(tail);
    if (!target.startsWith('/'))
        target.prepend('/');
    if (tail == authority || !fitsRequestLine(target))
        return std::nullopt;
    curl::Url url = parsedByCurl(whole);
    if (!url)
        return std::nullopt;
    return RequestAddress{std::move(url), std::move(target)};
}

} // namespace tarnelo
