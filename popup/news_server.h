#pragma once
// Where the news check asks and where the news page lives, and how long a request may take. The check
// must not keep the host waiting at exit on a server that does not answer.
#include <string>

struct NewsServer {
    std::string host = "www.tarnwick.com";  // host name, optionally with ":port"
    long connect_timeout_seconds = 10;
    long timeout_seconds = 30;

    std::string CheckUrl() const { return "http://" + host + "/scripts/qz_zephrin/"; }
    std::string PageUrl() const { return "https://" + host + "/products/recent/"; }
};
