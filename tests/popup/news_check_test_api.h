#pragma once
// Test access to the news check's answer record.
#include "popup/news_check.h"

#include <string>
#include <string_view>

class NewsCheckTestApi {
public:
    // Hands one piece of an answer to the check as libcurl would; returns what libcurl would be told.
    static size_t Receive(NewsCheck& check, std::string piece)
    {
        return NewsCheck::Receive(piece.data(), 1, piece.size(), &check);
    }
    static uint64_t received_length(const NewsCheck& check) { return check.received_length_; }
    // All of the body's bytes, the zero filling included.
    static std::string_view body(const NewsCheck& check) { return {check.body_, NewsCheck::body_size}; }
    static int32_t CountFromBody(const NewsCheck& check) { return check.CountFromBody(); }
};
