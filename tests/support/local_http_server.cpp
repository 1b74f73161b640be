#include "tests/support/local_http_server.h"

#include "toolkit/platform/text.h"

#include <algorithm>
#include <stdexcept>

namespace qzsdk::test {

namespace {

constexpr std::string_view header_end = "\r\n\r\n";

// The value after `key=` up to the next quote, semicolon or line end, without quotes.
std::string value_after(std::string_view text, std::string_view key)
{
    size_t at = text.find(key);
    if (at == std::string_view::npos)
        return {};
    std::string_view rest = text.substr(at + key.size());
    if (rest.starts_with('"'))
        return std::string(rest.substr(1, rest.find('"', 1) - 1));
    return std::string(rest.substr(0, rest.find_first_of(";\r")));
}

std::string answer_headers(int status, const std::string& length_header)
{
    return "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Status") +
           "\r\nContent-Type: text/plain\r\n" + length_header + "Connection: close\r\n\r\n";
}

}  // namespace

std::string http_request::header(std::string_view name) const
{
    std::string lower_head = "\r\n" + to_lower(head);
    size_t at = lower_head.find("\r\n" + to_lower(name) + ":");
    if (at == std::string::npos)
        return {};
    std::string value = head.substr(at + name.size() + 1);
    return trim(value.substr(0, value.find("\r\n")));
}

std::map<std::string, std::string> http_request::form_fields() const
{
    std::map<std::string, std::string> fields;
    std::string type = header("Content-Type");
    if (!type.starts_with("multipart/form-data"))
        return fields;
    std::string delimiter = "\r\n--" + value_after(type, "boundary=");
    // Each part: its delimiter, headers naming it, a blank line, the content, the next delimiter.
    std::string text = "\r\n" + body;
    for (size_t at = text.find(delimiter); at != std::string::npos;) {
        size_t content = text.find(header_end, at + delimiter.size());
        size_t next = text.find(delimiter, at + delimiter.size());
        if (content == std::string::npos || next == std::string::npos || content > next)
            break;
        std::string_view part_head(text.data() + at, content - at);
        content += header_end.size();
        fields[value_after(part_head, "name=")] = text.substr(content, next - content);
        at = next;
    }
    return fields;
}

local_http_server::local_http_server()
{
    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 2), &winsock);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    auto* any = reinterpret_cast<sockaddr*>(&address);
    if (bind(listener_, any, length) != 0 || listen(listener_, SOMAXCONN) != 0 ||
        getsockname(listener_, any, &length) != 0) {
        closesocket(listener_);
        WSACleanup();
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
        while (ready(listener_, false)) {
            SOCKET client = accept(listener_, nullptr, nullptr);
            serve_connection(client);
            shutdown(client, SD_SEND);
            closesocket(client);
            {
                std::lock_guard lock(mutex_);
                ++closed_;
            }
            changed_.notify_all();
        }
    });
}

local_http_server::~local_http_server()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    closesocket(listener_);
    WSACleanup();
}

void local_http_server::answer_with(int status, std::string body)
{
    std::lock_guard lock(mutex_);
    status_ = status;
    body_ = std::move(body);
}

void local_http_server::set_behaviour(behaviour value)
{
    std::lock_guard lock(mutex_);
    behaviour_ = value;
}

void local_http_server::release_held()
{
    {
        std::lock_guard lock(mutex_);
        released_ = true;
    }
    changed_.notify_all();
}

std::vector<http_request> local_http_server::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

bool local_http_server::wait_for_requests(size_t count, std::chrono::milliseconds limit) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
}

bool local_http_server::wait_for_closed(size_t count, std::chrono::milliseconds limit) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return closed_ >= count; });
}

void local_http_server::serve_connection(SOCKET client)
{
    http_request request;
    if (!read_request(client, request))
        return;
    std::unique_lock lock(mutex_);
    requests_.push_back(request);
    changed_.notify_all();
    changed_.wait(lock, [&] { return behaviour_ != behaviour::hold || released_ || stopping_; });
    behaviour mode = behaviour_;
    std::string body = body_;
    std::string head = answer_headers(status_, "Content-Length: " + std::to_string(body.size()) + "\r\n");
    lock.unlock();
    if (mode == behaviour::close_early)
        body.resize(body.size() / 2);
    if (mode == behaviour::endless_body) {
        const std::string piece(1024, '7');
        if (send_all(client, answer_headers(200, "")))
            while (send_all(client, piece)) {
            }
    } else {
        send_all(client, head + body);
    }
}

bool local_http_server::read_request(SOCKET client, http_request& request)
{
    std::string buffer;
    size_t length = 0;
    size_t end = std::string::npos;
    while (end == std::string::npos || buffer.size() < end + header_end.size() + length) {
        char chunk[4096];
        int received = ready(client, false) ? recv(client, chunk, sizeof(chunk), 0) : 0;
        if (received <= 0)
            return false;
        buffer.append(chunk, static_cast<size_t>(received));
        if (end != std::string::npos || (end = buffer.find(header_end)) == std::string::npos)
            continue;
        size_t line_end = buffer.find("\r\n");
        std::string_view line(buffer.data(), line_end);
        request.method = line.substr(0, line.find(' '));
        request.target = line.substr(request.method.size() + 1, line.rfind(' ') - request.method.size() - 1);
        request.head = buffer.substr(line_end + 2, end - line_end - 2);
        length = std::stoul("0" + request.header("Content-Length"));
        bool wants_go_ahead = to_lower(request.header("Expect")) == "100-continue";
        if (wants_go_ahead && !send_all(client, "HTTP/1.1 100 Continue\r\n\r\n"))
            return false;
    }
    request.body = buffer.substr(end + header_end.size(), length);
    return true;
}

bool local_http_server::ready(SOCKET socket, bool for_writing)
{
    while (true) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return false;
        }
        fd_set set;
        FD_ZERO(&set);
        FD_SET(socket, &set);
        timeval step{0, 50'000};
        if (select(0, for_writing ? nullptr : &set, for_writing ? &set : nullptr, nullptr, &step) > 0)
            return true;
    }
}

bool local_http_server::send_all(SOCKET client, std::string_view data)
{
    while (!data.empty()) {
        int piece = static_cast<int>(std::min<size_t>(data.size(), 65536));
        int sent = ready(client, true) ? send(client, data.data(), piece, 0) : 0;
        if (sent <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

}  // namespace qzsdk::test
