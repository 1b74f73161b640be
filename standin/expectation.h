#pragma once
// Whether a session's state holds what its NAME.expect.json says: objects key by key, arrays as an ordered
// subsequence, anything else equal.
#include <nlohmann/json.hpp>

#include <string>

namespace standin {

// Empty when `actual` holds `expected`; otherwise where it first does not, such as
// "/screenshots/preferences-light/theme: \"dark\", not \"light\"".
std::string expectation_mismatch(const nlohmann::json& actual, const nlohmann::json& expected);

}  // namespace standin
