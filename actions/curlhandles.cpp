#include "actions/curlhandles.h"

namespace tarnelo::curl {

bool append(Slist &list, const char *line)
{
    curl_slist *head = curl_slist_append(list.get(), line);
    if (!head)
        return false;
    list.release();
    list.reset(head);
    return true;
}

GlobalInit::GlobalInit()
    : m_ready(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK)
{
}

GlobalInit::~GlobalInit()
{
    if (m_ready)
        curl_global_cleanup();
}

} // namespace tarnelo::curl
