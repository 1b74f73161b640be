#include "popup/curl_global.h"

#include <curl/curl.h>

// A failed set-up is not fatal: curl_easy_init tries it once more, and when that fails too the request gives
// nothing.
CurlGlobal::CurlGlobal() : initialised_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}

CurlGlobal::~CurlGlobal()
{
    if (initialised_)
        curl_global_cleanup();
}
