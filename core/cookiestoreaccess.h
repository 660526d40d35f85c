#pragma once

// How the action code reaches the browser's cookies without knowing the browser.
// The frame implements it on the web profile's cookie store (keeping its own
// copy, since the store reports changes only as they happen); the HTTP client
// reads the copy before a request and hands back what the answer changed.

#include "core/cookierecord.h"

#include <vector>

namespace tarnelo {

class CookieStoreAccess
{
public:
    virtual ~CookieStoreAccess() = default;

    // Every cookie the browser holds now, for any host.
    virtual std::vector<CookieRecord> cookies() const = 0;

    // Only what changed: set or changed cookies are stored, removed ones deleted.
    virtual void apply(const CookieChanges &changes) = 0;
};

} // namespace tarnelo
