#include "toolkit/platform/shell.h"

#include "toolkit/platform/text.h"

#include <windows.h>
#include <shellapi.h>

#include <utility>

namespace qzsdk {

namespace {

void shell_execute(const shell_request& request)
{
    ShellExecuteW(nullptr, request.verb.c_str(), request.file.c_str(),
                  request.parameters.empty() ? nullptr : request.parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

shell_launcher& current_launcher()
{
    static shell_launcher launcher;
    return launcher;
}

void launch(const shell_request& request)
{
    const shell_launcher& launcher = current_launcher();
    if (launcher)
        launcher(request);
    else
        shell_execute(request);
}

}  // namespace

shell_launcher set_shell_launcher(shell_launcher launcher)
{
    return std::exchange(current_launcher(), std::move(launcher));
}

void shell_open(std::string_view text)
{
    if (!text.empty())
        launch({L"open", utf8_to_wide(text), {}});
}

void shell_reveal(const path& file)
{
    if (!file.empty())
        launch({L"open", L"explorer.exe", L"/select,\"" + file.wide() + L"\""});
}

}  // namespace qzsdk
