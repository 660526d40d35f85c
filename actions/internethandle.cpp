#include "actions/internethandle.h"

namespace tarnelo {

InternetHandle::InternetHandle()
{
    if (!m_global.isReady())
        return;
    curl::Share share(curl_share_init());
    if (share && curl_share_setopt(share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) == CURLSHE_OK)
        m_share = std::move(share);
}

} // namespace tarnelo
