#pragma once
#include <string>
#include <string_view>

namespace standin {

// A script answer as the terminal shows it: whole when short and on one line; otherwise its length in bytes
// and the start of it with line breaks escaped ("requeststatus" answers some 20 kB of escaped PNG bytes).
std::string answer_summary(std::string_view answer);

}  // namespace standin
