#include "popup/news_server.h"

#include "toolkit/platform/text.h"

#include <windows.h>

#include <cstdio>

const std::string& ConfiguredNewsHost()
{
    static const std::string host = [] {
        wchar_t buffer[256];
        DWORD length = GetEnvironmentVariableW(L"ZEPHRIN_NEWS_SERVER", buffer, 256);
        // Unset, empty or too long for a host name: the maker's server.
        if (length == 0 || length >= 256)
            return std::string("www.tarnwick.com");
        return qzsdk::wide_to_utf8(std::wstring(buffer, length));
    }();
    return host;
}

bool IsLoopbackHost(std::string_view host)
{
    if (host.starts_with("[::1]"))
        return host.size() == 5 || host[5] == ':';
    std::string_view name = host.substr(0, host.find(':'));
    // Digits and dots only: "127.example.com" is somebody's server.
    return name == "localhost" ||
           (name.starts_with("127.") && name.find_first_not_of("0123456789.") == std::string_view::npos);
}

void EnforceLoopbackOnly(std::string_view host)
{
    static const bool loopback_only = GetEnvironmentVariableW(L"ZEPHRIN_NEWS_LOOPBACK_ONLY", nullptr, 0) != 0;
    if (!loopback_only || IsLoopbackHost(host))
        return;
    std::fprintf(stderr, "news check: %.*s is not on loopback, and ZEPHRIN_NEWS_LOOPBACK_ONLY is set\n",
                 static_cast<int>(host.size()), host.data());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
}
