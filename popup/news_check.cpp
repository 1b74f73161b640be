#include "popup/news_check.h"

// The form is built with curl_formadd, which libcurl marks as superseded.
#define CURL_DISABLE_DEPRECATION
#include "toolkit/platform/text.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace {

struct FormFree {
    void operator()(curl_httppost* form) const { curl_formfree(form); }
};
struct EasyCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct MultiCleanup {
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};

// How long the transfer waits for its sockets before it looks at the stop request again.
constexpr int stop_poll_ms = 100;

bool AddField(curl_httppost*& first, curl_httppost*& last, const char* name, const std::string& contents)
{
    return curl_formadd(&first, &last, CURLFORM_COPYNAME, name, CURLFORM_COPYCONTENTS, contents.c_str(),
                        CURLFORM_END) == CURL_FORMADD_OK;
}

// libcurl's resolver callbacks; their record is the check's flag of a lookup under way.
int LookupStarting(void*, void*, void* looking_up)
{
    *static_cast<bool*>(looking_up) = true;
    return 0;
}

int SocketOpened(void* looking_up, curl_socket_t, curlsocktype)
{
    *static_cast<bool*>(looking_up) = false;
    return CURL_SOCKOPT_OK;
}

// Runs the transfer until it ends or a stop is asked for; a stopped transfer reads as aborted.
CURLcode Transfer(CURL* easy, const std::atomic<bool>& stop_requested)
{
    std::unique_ptr<CURLM, MultiCleanup> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK)
        return CURLE_FAILED_INIT;
    // Driven here rather than by curl_easy_perform, whose progress calls pause while a name is looked up.
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    int running = 1;
    while (running > 0 && !stop_requested.load()) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
            break;
        if (running > 0)
            curl_multi_poll(multi.get(), nullptr, 0, stop_poll_ms, nullptr);
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    curl_multi_remove_handle(multi.get(), easy);
    return result;
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
    // Ending the transfer must not wait for a name lookup that hangs: libcurl leaves it to its thread.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy, CURLOPT_RESOLVER_START_FUNCTION, &LookupStarting);
    curl_easy_setopt(easy, CURLOPT_RESOLVER_START_DATA, &looking_up_);
    curl_easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, &SocketOpened);
    curl_easy_setopt(easy, CURLOPT_SOCKOPTDATA, &looking_up_);
    CURLcode result = Transfer(easy, stop_requested_);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_off_t lookup_time = 0;
    curl_easy_getinfo(easy, CURLINFO_NAMELOOKUP_TIME_T, &lookup_time);
    // A lookup that failed has ended; one that was cut short (stopped, timed out) may still be running.
    if (lookup_time > 0 || result == CURLE_COULDNT_RESOLVE_HOST)
        looking_up_ = false;
    lookup_left_running_.store(looking_up_, std::memory_order_release);
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

