// Real requests through the linked libcurl to the in-process server: a broken or mis-built dependency
// shows here first.
#include "popup/curl_global.h"
#include "tests/support/local_http_server.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using qzsdk::test::local_http_server;

size_t AppendTo(char* data, size_t size, size_t count, void* text)
{
    static_cast<std::string*>(text)->append(data, size * count);
    return size * count;
}

class LibcurlRoundTrip : public testing::Test {
protected:
    // Performs the handle's request; returns libcurl's result and keeps the status and body.
    CURLcode Perform(const std::string& target)
    {
        std::string url = "http://" + server.address() + target;
        curl_easy_setopt(handle.get(), CURLOPT_URL, url.c_str());
        curl_easy_setopt(handle.get(), CURLOPT_WRITEFUNCTION, &AppendTo);
        curl_easy_setopt(handle.get(), CURLOPT_WRITEDATA, &body);
        curl_easy_setopt(handle.get(), CURLOPT_TIMEOUT, 20L);
        CURLcode result = curl_easy_perform(handle.get());
        curl_easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &status);
        return result;
    }

    CurlGlobal curl;
    local_http_server server;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle{curl_easy_init(), &curl_easy_cleanup};
    std::string body;
    long status = 0;
};

TEST_F(LibcurlRoundTrip, GetReachesTheServerAndBringsBackStatusAndBody)
{
    ASSERT_NE(handle, nullptr);
    server.answer_with(404, "nothing here");
    ASSERT_EQ(Perform("/some/path?x=1"), CURLE_OK);
    EXPECT_EQ(status, 404);
    EXPECT_EQ(body, "nothing here");
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/some/path?x=1");
    EXPECT_EQ(requests[0].header("host"), server.address());
    EXPECT_TRUE(requests[0].body.empty());
}

}  // namespace
