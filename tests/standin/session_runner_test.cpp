// standin.exe run as the scripts run it: copied with the module into a folder of its own.
#include "standin/file_text.h"
#include "tests/support/standin_test_project.h"

#include <windows.h>
#include <shellapi.h>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::wstring folder_of_this_program()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, length);
    return text.substr(0, text.find_last_of(L'\\'));
}

void write_file(const std::wstring& path, const std::string& text)
{
    std::ofstream(path.c_str(), std::ios::binary) << text;
}

std::string read_file(const std::wstring& path)
{
    try {
        return standin::read_text_file(path, "output");
    } catch (const std::runtime_error&) {
        return {};
    }
}

nlohmann::json state_of(const std::wstring& out) { return nlohmann::json::parse(read_file(out + L"\\state.json")); }

class StandinRunner : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"standin-run-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(GetTickCount64());
        out_ = folder_ + L"\\out";
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        for (const wchar_t* file : {L"standin.exe", L"Zephrin.aex"})
            ASSERT_TRUE(CopyFileW((folder_of_this_program() + L"\\" + file).c_str(),
                                  (folder_ + L"\\" + file).c_str(), FALSE));
        write_file(folder_ + L"\\project.json", standin_test::project_json);
    }

    void TearDown() override
    {
        std::wstring from = folder_ + L'\0';
        SHFILEOPSTRUCTW operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NO_UI;
        SHFileOperationW(&operation);
    }

    // The exit code of standin.exe over the session text.
    DWORD run_session(const std::string& session)
    {
        write_file(folder_ + L"\\test.session", session);
        std::wstring command = L"\"" + folder_ + L"\\standin.exe\" --project \"" + folder_ + L"\\project.json\"" +
                               L" --session \"" + folder_ + L"\\test.session\" --out \"" + out_ + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                            &process))
            return 0xDEAD;
        DWORD code = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 ? 0 : 0xBEEF;
        if (code == 0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, 0xBEEF);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }

    std::wstring folder_;
    std::wstring out_;
};

TEST_F(StandinRunner, IdleScreenshotQuitWritesStateAndPng)
{
    ASSERT_EQ(run_session("idle 3\nselect Shape\nscreenshot shot\nquit\nidle\n"), 0u);
    std::string png = read_file(out_ + L"\\shot.png");
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    auto state = state_of(out_);
    EXPECT_EQ(state["version"], "115.0");
    EXPECT_EQ(state["quit"], true);
    EXPECT_EQ(state["unloaded"], true);
    EXPECT_EQ(state["suites_balanced"], true);
    EXPECT_TRUE(state["failures"].empty());
    EXPECT_TRUE(state.contains("hooks") && state.contains("message_boxes"));
}

TEST_F(StandinRunner, FailedCommandsAreNamedAndTheExitCodeSaysSo)
{
    EXPECT_EQ(run_session("select Nobody\nchoose Gaussian Blur\nidle\n"), 1u);
    auto state = state_of(out_);
    ASSERT_EQ(state["failures"].size(), 2u);
    EXPECT_EQ(state["failures"][0]["line"], 1);
    EXPECT_NE(state["failures"][0]["message"].get<std::string>().find("no layer named \"Nobody\""),
              std::string::npos);
    // Before the first idle call the module has no catalogue to choose from.
    EXPECT_NE(state["failures"][1]["message"].get<std::string>().find("no entry \"Gaussian Blur\""),
              std::string::npos);
}

TEST_F(StandinRunner, ScriptCallsReachTheModulesExecute)
{
    ASSERT_EQ(run_session("script requeststatus\nscript news\nidle\nscript news\nscript bogus 2.5\n"), 0u);
    auto state = state_of(out_);
    const auto& calls = state["script_calls"];
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0]["verb"], "requeststatus");
    EXPECT_EQ(calls[0]["code"], 0);
    EXPECT_EQ(calls[0]["result"].get<std::string>().rfind("var shortcutValue = ", 0), 0u);
    EXPECT_EQ(calls[1]["result"], "-1");  // no popup before the first idle call
    EXPECT_EQ(calls[2]["result"], "-1");  // the popup has no news count yet
    EXPECT_EQ(calls[3]["code"], 0);
    EXPECT_EQ(calls[3]["result"], "-1");
    EXPECT_TRUE(state["message_boxes"].empty());
}

TEST_F(StandinRunner, UnknownCommandStopsBeforeTheModuleLoads)
{
    EXPECT_EQ(run_session("idle\njump\n"), 2u);
    EXPECT_EQ(GetFileAttributesW((out_ + L"\\state.json").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
