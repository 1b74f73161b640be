#pragma once
// Hands documents, URLs and files to the shell. Every request passes through one replaceable launcher, so a
// test can see what would be opened without starting a browser or Explorer.
#include "toolkit/platform/path.h"

#include <functional>
#include <string>
#include <string_view>

namespace qzsdk {

struct shell_request {
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
};

using shell_launcher = std::function<void(const shell_request&)>;

// Installs a launcher and returns the one it replaces; an empty launcher restores ShellExecuteW.
shell_launcher set_shell_launcher(shell_launcher launcher);

// Opens a document path or a URL with its associated program.
void shell_open(std::string_view text);
// Opens the file's folder in Explorer with the file selected.
void shell_reveal(const path& file);

}  // namespace qzsdk
