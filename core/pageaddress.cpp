#include "core/pageaddress.h"

namespace tarnelo {
namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

QByteArray escapeLonePercents(const QByteArray &address)
{
    QByteArray out;
    out.reserve(address.size());
    for (qsizetype i = 0; i < address.size(); ++i) {
        const char c = address[i];
        const bool escaped = i + 2 < address.size() && isHexDigit(address[i + 1]) && isHexDigit(address[i + 2]);
        if (c == '%' && !escaped)
            out += "%25";
        else
            out += c;
    }
    return out;
}

QByteArray withoutFragment(const QByteArray &address)
{
    const qsizetype hash = address.indexOf('#');
    return hash < 0 ? address : address.left(hash);
}

} // namespace tarnelo
