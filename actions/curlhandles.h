#pragma once

// Owners for libcurl's handles, so that every path out of a fetch frees them.

#include <curl/curl.h>

#include <memory>

namespace tarnelo::curl {

struct EasyCleanup {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
struct SlistCleanup {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
struct ShareCleanup {
    void operator()(CURLSH *share) const { curl_share_cleanup(share); }
};
struct FreeCleanup {
    void operator()(char *text) const { curl_free(text); }
};
struct UrlCleanup {
    void operator()(CURLU *url) const { curl_url_cleanup(url); }
};

using Easy = std::unique_ptr<CURL, EasyCleanup>;
using Slist = std::unique_ptr<curl_slist, SlistCleanup>;
using Share = std::unique_ptr<CURLSH, ShareCleanup>;
using Url = std::unique_ptr<CURLU, UrlCleanup>;
using String = std::unique_ptr<char, FreeCleanup>;

// Appends a copy of `line`; false (the list unchanged) when out of memory.
bool append(Slist &list, const char *line);

// curl_global_init and its matching curl_global_cleanup (libcurl counts them).
class GlobalInit
{
public:
    GlobalInit();
    ~GlobalInit();
    GlobalInit(const GlobalInit &) = delete;
    GlobalInit &operator=(const GlobalInit &) = delete;

    bool isReady() const { return m_ready; }

private:
    bool m_ready = false;
};

} // namespace tarnelo::curl
