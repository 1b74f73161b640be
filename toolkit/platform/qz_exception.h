#pragma once
#include <exception>
#include <string>
#include <string_view>

// The program's one exception type: a fixed English (UTF-8) message.
class qz_exception : public std::exception {
public:
    explicit qz_exception(std::string_view message) : message_(message) {}
    ~qz_exception() override = default;
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};
