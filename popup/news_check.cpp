#include "popup/news_check.h"

// The form is built with curl_formadd, which libcurl marks as superseded.
#define CURL_DISABLE_DEPRECATION
#include "toolkit/platform/text.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

static_assert(std::is_same_v<curl_off_t, int64_t>, "NewsCheck::Progress must match libcurl's progress callback");

namespace {

struct FormFree {
    void operator()(curl_httppost* form) const { curl_formfree(form); }
};
struct EasyCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

bool AddField(curl_httppost*& first, curl_httppost*& last, const char* name, const std::string& contents)
{
    return curl_formadd(&first, &last, CURLFORM_COPYNAME, name, CURLFORM_COPYCONTENTS, contents.c_str(),
                        CURLFORM_END) == CURL_FORMADD_OK;
}

}  // namespace

NewsCheck::NewsCheck(NewsServer server) : server_(std::move(server)) {}

void NewsCheck::run(int64_t last_visit)
{
    received_length_ = 0;
    std::memset(body_, 0, sizeof(body_));
    int32_t count = 0;
    // An exception leaving a thread ends the host's process; a check that failed simply has no news.
    try {
        if (Request(last_visit))
            count = CountFromBody();
    } catch (...) {
    }
    count_.store(count, std::memory_order_release);
}

bool NewsCheck::Request(int64_t last_visit)
{
    curl_httppost* first = nullptr;
    curl_httppost* last = nullptr;
    bool form_made = AddField(first, last, "updates", "1") && AddField(first, last, "time", std::to_string(last_visit));
    // Declared before the handle: libcurl wants the form to outlive the handle that posts it.
    std::unique_ptr<curl_httppost, FormFree> form(first);
    if (!form_made)
        return false;
    std::unique_ptr<CURL, EasyCleanup> handle(curl_easy_init());
    if (!handle)
        return false;
    EnforceLoopbackOnly(server_.host);
    std::string url = server_.CheckUrl();
    CURL* easy = handle.get();
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &NewsCheck::Receive);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_HTTPPOST, form.get());
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, server_.connect_timeout_seconds);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, server_.timeout_seconds);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &NewsCheck::Progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    CURLcode result = curl_easy_perform(easy);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    // An error page or an answer cut short may well begin with a digit; neither is a count.
    return result == CURLE_OK && status >= 200 && status < 300;
}

int32_t NewsCheck::CountFromBody() const
{
    if (received_length_ != 1 && received_length_ != 2)
        return 0;
    std::string_view text(body_, received_length_);
    size_t at = 0;
    while (at < text.size() && qzsdk::is_ascii_space(text[at]))
        ++at;
    bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    int32_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = value * 10 + (text[at] - '0');
    // Not a count of anything; and -1 would read as "still running" to the popup's poll for ever.
    return negative ? 0 : value;
}

size_t NewsCheck::Receive(char* data, size_t size, size_t count, void* record)
{
    auto& check = *static_cast<NewsCheck*>(record);
    size_t length = size * count;
    // At most body_size - 2 bytes are kept, so the stored text is always followed by a zero byte.
    if (check.received_length_ < too_long && length < body_size - 1 - check.received_length_) {
        std::memcpy(check.body_ + check.received_length_, data, length);
        check.received_length_ += length;
        return length;
    }
    check.received_length_ = too_long;
    // Refusing the bytes ends the transfer: a server that keeps sending cannot hold the thread.
    return 0;
}

int NewsCheck::Progress(void* record, int64_t, int64_t, int64_t, int64_t)
{
    return static_cast<NewsCheck*>(record)->stop_requested_.load() ? 1 : 0;
}
