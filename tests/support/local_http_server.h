#pragma once
// A small HTTP/1.1 server on 127.0.0.1 (a port the system picks) that runs on its own thread in the test
// process. It records every request and answers each one with the configured status and body, or misbehaves
// on purpose: holds the answer until released, closes the connection half-way, or sends a body without end.
// One connection at a time; every answer closes its connection.
#include <winsock2.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace qzsdk::test {

struct http_request {
    std::string method;
    std::string target;  // path and query as sent
    std::string head;    // the header lines as sent
    std::string body;

    // The first header of that name (any case), or empty.
    std::string header(std::string_view name) const;
    // The parts of a multipart/form-data body by name; empty for any other body.
    std::map<std::string, std::string> form_fields() const;
};

class local_http_server {
public:
    enum class behaviour {
        answer,        // status and body at once
        hold,          // the answer waits for release_held() or the server's end
        close_early,   // headers announce the whole body, half of it is sent, then the connection closes
        endless_body,  // a body without length that never ends, until the client gives up
    };

    local_http_server();
    // Wakes a held answer and ends an endless body, then joins the thread.
    ~local_http_server();
    local_http_server(const local_http_server&) = delete;
    local_http_server& operator=(const local_http_server&) = delete;

    // "127.0.0.1:<port>"
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

    void answer_with(int status, std::string body);
    void set_behaviour(behaviour value);
    void release_held();

    std::vector<http_request> requests() const;
    // Waits until that many requests have arrived; false when the limit passes first.
    bool wait_for_requests(size_t count, std::chrono::milliseconds limit) const;
    // Waits until that many connections have had their answer (or found the client gone) and are closed.
    bool wait_for_closed(size_t count, std::chrono::milliseconds limit) const;

private:
    void serve_connection(SOCKET client);
    bool read_request(SOCKET client, http_request& request);
    // Waits in short steps so that the server's end is seen promptly; false once it has come.
    bool ready(SOCKET socket, bool for_writing);
    bool send_all(SOCKET client, std::string_view data);

    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    bool released_ = false;
    behaviour behaviour_ = behaviour::answer;
    int status_ = 200;
    std::string body_;
    std::vector<http_request> requests_;
    size_t closed_ = 0;

    std::thread thread_;
};

}  // namespace qzsdk::test
