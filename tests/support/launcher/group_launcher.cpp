// Runs a test program in this Wine prefix and ends with the exit code Windows gives it:
// group_launcher.exe PROGRAM [ARGUMENTS...]. Its last line names that code in full.
//
// Wine's own exit status of a program is only its low byte, and the wineserver kills a process whose Unix side
// is still exiting a second after its last thread ended, so a program that ended well can look killed. The
// server keeps the code the program ended with, which is what a Windows parent reads.
#include <windows.h>

#include <cstdio>
#include <string>

#include "toolkit/platform/unique_handle.h"

namespace {

// The command line after this program's own name, as the caller quoted it: the program and its arguments.
const wchar_t* program_command_line()
{
    const wchar_t* rest = GetCommandLineW();
    if (*rest == L'"') {
        rest = wcschr(rest + 1, L'"');
        rest = rest ? rest + 1 : L"";
    } else {
        while (*rest && *rest != L' ' && *rest != L'\t')
            ++rest;
    }
    while (*rest == L' ' || *rest == L'\t')
        ++rest;
    return rest;
}

}  // namespace

int main()
{
    const wchar_t* command = program_command_line();
    if (!*command) {
        std::fprintf(stderr, "usage: group_launcher.exe PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line it is given.
    std::wstring writable(command);
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "group launcher: cannot start %ls: error %lu\n", command, GetLastError());
        return 1;
    }
    const qzsdk::unique_handle<HANDLE, &CloseHandle> program(process.hProcess), thread(process.hThread);
    WaitForSingleObject(program.get(), INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(program.get(), &code);
    std::printf("group launcher: the program ended with exit code 0x%08lX\n", code);
    std::fflush(stdout);
    return static_cast<int>(code);
}
