#pragma once

// An action's address split for the wire. curl parses it (scheme, host, port,
// the path for cookie matching) and writes the request line itself, keeping
// the path and query as written, with one exception: it percent-encodes bytes
// above 0x7F in the path. Such a target is handed to curl as written instead
// (CURLOPT_REQUEST_TARGET), which curl then also sends to a proxy unchanged, in
// origin form; the action addresses are plain ASCII.

#include "actions/curlhandles.h"

#include <QByteArray>

#include <optional>

namespace tarnelo {

struct RequestAddress {
    curl::Url url;
    QByteArray target;  // path and query as written; "/" when the path is empty
};

// Nothing unless `address` (fragment cut first) is "http://" or "https://",
// a host curl accepts, and a target without spaces or control characters.
std::optional<RequestAddress> splitRequestAddress(const QByteArray &address);

// Whether curl would write `target` differently from the address.
bool curlWouldEncode(const QByteArray &target);

// Whether curl may be sent to `url` (a redirect): http or https.
bool isWebAddress(const QByteArray &url);

} // namespace tarnelo
