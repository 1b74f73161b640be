#pragma once
// The session script: one command a line; a line whose first non-blank character is "#" is a comment.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class SessionVerb {
    idle, select, keys, key, type, click, rclick, dblclick, drag, press, move, release, script, choose, menu, dialog,
    window, gone, button, screenshot, wait, quit, file, clipboard, foreground, death
};

struct SessionCommand {
    SessionVerb verb;
    int line;
    std::string text;               // the text of every verb that takes one; script's verb
    std::vector<std::string> args;  // script arguments
    int number = 0;                 // idle cycles, wait ms, pointer x (drag: from x), file: 1 exists, 0 absent, 2 remove, 3 block
    int second = 0;                 // pointer y (drag: from y)
    int third = 0;                  // drag: to x
    int fourth = 0;                 // drag: to y
};

class SessionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws SessionError naming the line and what is wrong with it.
std::vector<SessionCommand> parse_session(std::string_view text);

const char* verb_name(SessionVerb verb);

}  // namespace standin
