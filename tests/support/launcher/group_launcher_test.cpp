#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "toolkit/platform/unique_handle.h"

namespace {

using kernel_handle = qzsdk::unique_handle<HANDLE, &CloseHandle>;

const wchar_t* const kCmd = L"C:\\windows\\system32\\cmd.exe";

struct Ended {
    DWORD code = 0;
    std::string output;
};

// The launcher beside this program, run with `arguments` until it ends, its output and errors through a pipe.
// The pipe is read once the launcher has ended: processes it started may still hold the pipe open.
Ended run_launcher(const std::wstring& arguments)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring launcher(self);
    launcher.resize(launcher.find_last_of(L'\\') + 1);
    launcher += L"group_launcher.exe";

    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    EXPECT_TRUE(CreatePipe(&read_end, &write_end, &inherited, 1 << 16));
    const kernel_handle reader(read_end);
    kernel_handle writer(write_end);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    std::wstring command = L"\"" + launcher + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    Ended ended;
    if (!CreateProcessW(launcher.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start the launcher, error " << GetLastError();
        return ended;
    }
    const kernel_handle program(process.hProcess), thread(process.hThread);
    writer.reset();
    WaitForSingleObject(program.get(), INFINITE);
    GetExitCodeProcess(program.get(), &ended.code);
    DWORD waiting = 0;
    while (PeekNamedPipe(reader.get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
        char chunk[4096];
        DWORD got = 0;
        if (!ReadFile(reader.get(), chunk, sizeof chunk, &got, nullptr) || got == 0)
            break;
        ended.output.append(chunk, got);
    }
    // Line ends as the group's script reads them (the C runtime writes "\r\n").
    std::erase(ended.output, '\r');
    return ended;
}

}  // namespace

// Wine's own exit status would keep only the low byte, 5.
TEST(GroupLauncher, EndsWithTheProgramsFullExitCodeAndNamesItInItsLastLine)
{
    const Ended ended = run_launcher(std::wstring(kCmd) + L" /c exit -1073741819");
    EXPECT_EQ(ended.code, 0xC0000005u);
    EXPECT_TRUE(ended.output.ends_with("group launcher: the program ended with exit code 0xC0000005\n"))
        << ended.output;
}

TEST(GroupLauncher, TheProgramGetsItsArgumentsAndWritesBeforeTheLaunchersLine)
{
    const Ended ended = run_launcher(std::wstring(kCmd) + L" /c \"echo first second& exit 3\"");
    EXPECT_EQ(ended.code, 3u);
    const size_t echoed = ended.output.find("first second");
    ASSERT_NE(echoed, std::string::npos) << ended.output;
    EXPECT_LT(echoed, ended.output.find("group launcher: the program ended with exit code 0x00000003")) << ended.output;
}

// No exit code line: the group's script then fails the group with the launcher's status.
TEST(GroupLauncher, AProgramThatCannotStartIsToldWithoutAnExitCodeLine)
{
    const Ended ended = run_launcher(L"Z:\\no\\such\\program.exe");
    EXPECT_EQ(ended.code, 1u);
    EXPECT_NE(ended.output.find("group launcher: cannot start Z:\\no\\such\\program.exe"), std::string::npos)
        << ended.output;
    EXPECT_EQ(ended.output.find("exit code"), std::string::npos) << ended.output;
}
