#include "standin/answer_summary.h"

namespace standin {
namespace {

constexpr size_t shown_whole = 80;
constexpr size_t shown_prefix = 60;

}  // namespace

std::string answer_summary(std::string_view answer)
{
    if (answer.size() <= shown_whole && answer.find_first_of("\r\n") == std::string_view::npos)
        return std::string(answer);
    std::string summary = std::to_string(answer.size()) + " bytes: ";
    size_t end = answer.size() < shown_prefix ? answer.size() : shown_prefix;
    // Not inside a UTF-8 sequence: a terminal shows a cut one as garbage.
    while (end > 0 && end < answer.size() && (static_cast<unsigned char>(answer[end]) & 0xC0) == 0x80)
        --end;
    for (char c : answer.substr(0, end)) {
        if (c == '\n')
            summary += "\\n";
        else if (c == '\r')
            summary += "\\r";
        else
            summary += c;
    }
    if (end < answer.size())
        summary += "...";
    return summary;
}

}  // namespace standin
