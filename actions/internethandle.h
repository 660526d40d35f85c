#pragma once

// The process-long part of the HTTP client: libcurl set up, and a share handle
// through which the fetches share their DNS cache. Connections are not shared:
// each fetch makes its own and closes it.

#include "actions/curlhandles.h"

namespace tarnelo {

class InternetHandle
{
public:
    InternetHandle();

    // False when libcurl could not be set up; the client drops this handle and
    // tries again at the next fetch.
    bool isOpen() const { return m_share != nullptr; }
    CURLSH *share() const { return m_share.get(); }

private:
    curl::GlobalInit m_global;  // declared first: released after the share handle
    curl::Share m_share;
};

} // namespace tarnelo
