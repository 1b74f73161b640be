#include "tests/support/local_http_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <stdexcept>

namespace qzsdk::test {

namespace {

// Every wait on a socket is this short, so the thread sees the server's end promptly.
constexpr long poll_microseconds = 50'000;
constexpr std::string_view header_end = "\r\n\r\n";

bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The value of `key="value"` or `key=value` inside a header such as Content-Disposition.
std::string parameter(std::string_view header, std::string_view key)
{
    std::string pattern = std::string(key) + "=";
    size_t at = header.find(pattern);
    if (at == std::string_view::npos)
        return {};
    std::string_view rest = header.substr(at + pattern.size());
    if (!rest.empty() && rest.front() == '"')
        return std::string(rest.substr(1, rest.find('"', 1) - 1));
    return std::string(trimmed(rest.substr(0, rest.find(';'))));
}

std::string status_line(int status)
{
    return "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Status") + "\r\n";
}

std::string answer_headers(int status, const std::string& length_header)
{
    return status_line(status) + "Content-Type: text/plain\r\n" + length_header + "Connection: close\r\n\r\n";
}

}  // namespace

std::string http_request::header(std::string_view name) const
{
    for (const auto& [key, value] : headers) {
        if (equal_ignoring_case(key, name))
            return value;
    }
    return {};
}

std::map<std::string, std::string> http_request::form_fields() const
{
    std::map<std::string, std::string> fields;
    std::string type = header("Content-Type");
    if (type.find("multipart/form-data") != 0)
        return fields;
    std::string delimiter = "--" + parameter(type, "boundary");
    size_t at = body.find(delimiter);
    while (at != std::string::npos) {
        size_t part_start = at + delimiter.size();
        if (body.compare(part_start, 2, "--") == 0)
            break;
        size_t headers_end = body.find(header_end, part_start);
        size_t next = body.find("\r\n" + delimiter, part_start);
        if (headers_end == std::string::npos || next == std::string::npos || headers_end > next)
            break;
        std::string_view part_headers(body.data() + part_start, headers_end - part_start);
        size_t content_start = headers_end + header_end.size();
        fields[parameter(part_headers, "name")] = body.substr(content_start, next - content_start);
        at = next + 2;
    }
    return fields;
}

local_http_server::local_http_server()
{
    if (WSAStartup(MAKEWORD(2, 2), &winsock_) != 0)
        throw std::runtime_error("WSAStartup failed");
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, SOMAXCONN) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ != INVALID_SOCKET)
            closesocket(listener_);
        WSACleanup();
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
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

std::string local_http_server::address() const
{
    return "127.0.0.1:" + std::to_string(port_);
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

void local_http_server::serve()
{
    while (true) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return;
        }
        if (!wait_ready(listener_, false))
            continue;
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        serve_connection(client);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}

void local_http_server::serve_connection(SOCKET client)
{
    http_request request;
    if (!read_request(client, request))
        return;
    behaviour mode;
    int status;
    std::string body;
    {
        std::unique_lock lock(mutex_);
        requests_.push_back(request);
        changed_.notify_all();
        if (behaviour_ == behaviour::hold) {
            changed_.wait(lock, [&] { return released_ || stopping_; });
            if (stopping_)
                return;
        }
        mode = behaviour_;
        status = status_;
        body = body_;
    }
    std::string length_header = "Content-Length: " + std::to_string(body.size()) + "\r\n";
    switch (mode) {
    case behaviour::answer:
    case behaviour::hold:
        send_all(client, answer_headers(status, length_header) + body);
        break;
    case behaviour::close_early:
        send_all(client, answer_headers(status, length_header) + body.substr(0, body.size() / 2));
        break;
    case behaviour::endless_body:
        send_endless_body(client);
        break;
    }
}

bool local_http_server::read_request(SOCKET client, http_request& request)
{
    std::string buffer;
    size_t end;
    while ((end = buffer.find(header_end)) == std::string::npos) {
        if (!receive_some(client, buffer))
            return false;
    }
    std::string_view head(buffer.data(), end);
    size_t line_end = head.find("\r\n");
    std::string_view request_line = head.substr(0, line_end);
    size_t space = request_line.find(' ');
    request.method = std::string(request_line.substr(0, space));
    request.target = std::string(request_line.substr(space + 1, request_line.rfind(' ') - space - 1));
    while (line_end != std::string_view::npos) {
        size_t start = line_end + 2;
        line_end = head.find("\r\n", start);
        // The last line has no end: npos - start still takes the rest.
        std::string_view line = head.substr(start, line_end - start);
        size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            request.headers.emplace_back(std::string(line.substr(0, colon)),
                                         std::string(trimmed(line.substr(colon + 1))));
        }
    }
    if (equal_ignoring_case(request.header("Expect"), "100-continue") &&
        !send_all(client, "HTTP/1.1 100 Continue\r\n\r\n"))
        return false;
    size_t length = std::stoul("0" + request.header("Content-Length"));
    buffer.erase(0, end + header_end.size());
    while (buffer.size() < length) {
        if (!receive_some(client, buffer))
            return false;
    }
    request.body = buffer.substr(0, length);
    return true;
}

bool local_http_server::receive_some(SOCKET client, std::string& buffer)
{
    while (!wait_ready(client, false)) {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return false;
    }
    char chunk[4096];
    int received = recv(client, chunk, sizeof(chunk), 0);
    if (received <= 0)
        return false;
    buffer.append(chunk, static_cast<size_t>(received));
    return true;
}

bool local_http_server::send_all(SOCKET client, std::string_view data)
{
    while (!data.empty()) {
        if (!wait_ready(client, true)) {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return false;
            continue;
        }
        int sent = send(client, data.data(), static_cast<int>(std::min<size_t>(data.size(), 65536)), 0);
        if (sent <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

bool local_http_server::wait_ready(SOCKET socket, bool for_writing)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{0, poll_microseconds};
    int ready = for_writing ? select(0, nullptr, &set, nullptr, &timeout) : select(0, &set, nullptr, nullptr, &timeout);
    return ready > 0;
}

void local_http_server::send_endless_body(SOCKET client)
{
    if (!send_all(client, answer_headers(200, "")))
        return;
    const std::string piece(1024, '7');
    while (send_all(client, piece)) {
    }
}

}  // namespace qzsdk::test
