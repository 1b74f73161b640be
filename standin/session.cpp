#include "standin/session.h"

#include "standin/key_chord.h"

#include <charconv>

namespace standin {

namespace {

constexpr std::pair<const char*, SessionVerb> verbs[] = {
    {"idle", SessionVerb::idle},         {"select", SessionVerb::select}, {"keys", SessionVerb::keys},
    {"key", SessionVerb::key},           {"type", SessionVerb::type},     {"click", SessionVerb::click},
    {"rclick", SessionVerb::rclick},     {"dblclick", SessionVerb::dblclick}, {"drag", SessionVerb::drag},
    {"press", SessionVerb::press},       {"move", SessionVerb::move},     {"release", SessionVerb::release},
    {"script", SessionVerb::script},     {"choose", SessionVerb::choose}, {"menu", SessionVerb::menu},
    {"dialog", SessionVerb::dialog},     {"window", SessionVerb::window}, {"gone", SessionVerb::gone},
    {"button", SessionVerb::button},
    {"screenshot", SessionVerb::screenshot}, {"wait", SessionVerb::wait}, {"quit", SessionVerb::quit},
    {"file", SessionVerb::file},         {"clipboard", SessionVerb::clipboard},
    {"foreground", SessionVerb::foreground}, {"death", SessionVerb::death},
};

std::string known_verbs()
{
    std::string list;
    for (const auto& [name, verb] : verbs)
        list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

std::string_view trim(std::string_view text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Words split at blanks; a double-quoted word keeps its blanks.
std::vector<std::string> split_words(std::string_view text, int line)
{
    std::vector<std::string> words;
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ' || text[at] == '\t') {
            ++at;
            continue;
        }
        std::string word;
        if (text[at] == '"') {
            size_t end = text.find('"', at + 1);
            if (end == std::string_view::npos)
                throw SessionError("line " + std::to_string(line) + ": a quoted argument has no closing quote");
            word = text.substr(at + 1, end - at - 1);
            at = end + 1;
        } else {
            size_t end = text.find_first_of(" \t", at);
            if (end == std::string_view::npos)
                end = text.size();
            word = text.substr(at, end - at);
            at = end;
        }
        words.push_back(word);
    }
    return words;
}

int number_of(std::string_view word, int line, const char* what, int low, int high)
{
    int value = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < low || value > high)
        throw SessionError("line " + std::to_string(line) + ": " + what + " must be a whole number from " +
                           std::to_string(low) + " to " + std::to_string(high) + ", not \"" + std::string(word) +
                           "\"");
    return value;
}

bool is_safe_file_name(std::string_view name)
{
    return !name.empty() && name.find_first_of("/\\:*?\"<>|") == std::string_view::npos && name != "." &&
           name != "..";
}

SessionCommand parse_line(SessionVerb verb, std::string_view rest, int line)
{
    SessionCommand command{verb, line, {}, {}, 0, 0};
    auto fail = [&](const std::string& message) -> SessionError {
        return SessionError("line " + std::to_string(line) + ": " + verb_name(verb) + ": " + message);
    };
    switch (verb) {
    case SessionVerb::idle:
        command.number = rest.empty() ? 1 : number_of(rest, line, "the idle count", 1, 100000);
        break;
    case SessionVerb::wait:
        if (rest.empty())
            throw fail("needs the milliseconds to wait");
        command.number = number_of(rest, line, "the wait", 0, 600000);
        break;
    case SessionVerb::select:
    case SessionVerb::type:
    case SessionVerb::choose:
    case SessionVerb::menu:
    case SessionVerb::dialog:
    case SessionVerb::window:
    case SessionVerb::foreground:
    case SessionVerb::gone:
    case SessionVerb::button:
        if (rest.empty())
            throw fail("needs a text");
        command.text = rest;
        break;
    case SessionVerb::keys:
        if (!parse_key_chord(rest))
            throw fail("\"" + std::string(rest) + "\" is not a chord such as ctrl+space");
        command.text = rest;
        break;
    case SessionVerb::key:
        if (!named_key(rest))
            throw fail("\"" + std::string(rest) + "\" is not one of " + key_names);
        command.text = rest;
        break;
    case SessionVerb::click:
    case SessionVerb::rclick:
    case SessionVerb::dblclick:
    case SessionVerb::press:
    case SessionVerb::move:
    case SessionVerb::release:
    case SessionVerb::drag: {
        auto words = split_words(rest, line);
        bool drag = verb == SessionVerb::drag;
        if (words.size() != (drag ? 4u : 2u))
            throw fail(drag ? "needs X1 Y1 X2 Y2" : "needs X and Y");
        int* targets[] = {&command.number, &command.second, &command.third, &command.fourth};
        const char* names[] = {"X", "Y", "X2", "Y2"};
        for (size_t i = 0; i < words.size(); ++i)
            *targets[i] = number_of(words[i], line, names[i], -100000, 100000);
        break;
    }
    case SessionVerb::script: {
        auto words = split_words(rest, line);
        if (words.empty())
            throw fail("needs a verb");
        command.text = words[0];
        command.args.assign(words.begin() + 1, words.end());
        break;
    }
    case SessionVerb::screenshot:
        if (!is_safe_file_name(rest))
            throw fail("needs a file name without folders");
        command.text = rest;
        break;
    case SessionVerb::quit:
    case SessionVerb::death:
        if (!rest.empty())
            throw fail("takes no arguments");
        break;
    case SessionVerb::file: {
        const size_t space = rest.find_first_of(" \t");
        const std::string_view state = rest.substr(0, space);
        const std::string_view path = space == std::string_view::npos ? std::string_view() : trim(rest.substr(space));
        if ((state != "exists" && state != "absent" && state != "remove" && state != "block") || path.empty())
            throw fail("needs exists, absent or remove and a path, or block and a path");
        command.number = state == "exists" ? 1 : state == "absent" ? 0 : state == "remove" ? 2 : 3;
        command.text = path;
        break;
    }
    case SessionVerb::clipboard:
        if (rest != "empty")
            throw fail("takes only \"empty\"");
        break;
    }
    return command;
}

}  // namespace

const char* verb_name(SessionVerb verb)
{
    for (const auto& [name, value] : verbs)
        if (value == verb)
            return name;
    return "?";
}

std::vector<SessionCommand> parse_session(std::string_view text)
{
    std::vector<SessionCommand> commands;
    int line = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(at, end - at);
        if (raw.ends_with('\r'))
            raw.remove_suffix(1);
        std::string_view content = trim(raw);
        at = end + 1;
        ++line;
        if (content.empty() || content[0] == '#')
            continue;
        size_t space = content.find_first_of(" \t");
        std::string_view word = content.substr(0, space);
        std::string_view rest = space == std::string_view::npos ? std::string_view() : trim(content.substr(space));
        // Typed text keeps its blanks: everything after the one blank that ends the verb.
        if (word == "type" && space != std::string_view::npos) {
            size_t verb_end = raw.find_first_not_of(" \t") + space;
            rest = raw.substr(verb_end + 1);
        }
        bool known = false;
        for (const auto& [name, verb] : verbs)
            if (word == name) {
                commands.push_back(parse_line(verb, rest, line));
                known = true;
            }
        if (!known)
            throw SessionError("line " + std::to_string(line) + ": unknown command \"" + std::string(word) +
                               "\" (known: " + known_verbs() + ")");
    }
    return commands;
}

}  // namespace standin
