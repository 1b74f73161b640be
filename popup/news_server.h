#pragma once
// Where the news check asks and where the news page lives, and how long a request may take. The check
// must not keep the host waiting at exit on a server that does not answer.
#include <string>
#include <string_view>

// The maker's server, or the "host[:port]" of the environment variable ZEPHRIN_NEWS_SERVER when it is set
// (a test or staging server); read once.
const std::string& ConfiguredNewsHost();

// Whether a "host[:port]" names this machine's loopback: a numeric 127.x.x.x, localhost or [::1].
bool IsLoopbackHost(std::string_view host);

// With ZEPHRIN_NEWS_LOOPBACK_ONLY set (the test programs set it), a news check request to a host off
// loopback ends the process with a message naming it: a test run must never reach the network, and must not pass quietly when it would.
void EnforceLoopbackOnly(std::string_view host);

struct NewsServer {
    std::string host = ConfiguredNewsHost();  // host name, optionally with ":port"
    long connect_timeout_seconds = 10;
    long timeout_seconds = 30;

    std::string CheckUrl() const { return "http://" + host + "/scripts/qz_zephrin/"; }
    std::string PageUrl() const { return "https://" + host + "/products/recent/"; }
};
