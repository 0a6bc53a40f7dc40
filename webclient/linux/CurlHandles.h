#pragma once

#include <curl/curl.h>

#include <memory>

// Owners of libcurl's handles: each frees its handle however the scope is left.
struct CurlEasyCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using UniqueCurl = std::unique_ptr<CURL, CurlEasyCleanup>;

struct CurlSlistCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using UniqueCurlList = std::unique_ptr<curl_slist, CurlSlistCleanup>;
