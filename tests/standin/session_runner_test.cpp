// standin.exe run as the scripts run it: copied with the module into a folder of its own; every session of
// samples/ run so and held to its NAME.expect.json.
#include "standin/expectation.h"
#include "standin/session.h"
#include "standin/text_codec.h"
#include "tests/support/standin_test_project.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using qzsdk::test::read_bytes;
using json = nlohmann::json;

const std::wstring samples = L"Z:" ZEPHRIN_SAMPLES_DIR;
// The module with the sessions' own exports, as ./run host uses it.
const std::wstring session_module = L"Z:" ZEPHRIN_SESSION_MODULE_DIR L"/Zephrin.aex";

class StandinRunner : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t program[MAX_PATH];
        std::filesystem::path beside = std::wstring(program, GetModuleFileNameW(nullptr, program, MAX_PATH));
        ASSERT_TRUE(CopyFileW((beside.parent_path() / L"standin.exe").c_str(), (folder_ / L"standin.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(session_module.c_str(), (folder_ / L"Zephrin.aex").c_str(), FALSE));
        qzsdk::test::write_bytes(folder_ / L"project.json", standin_test::project_json);
        // The module's own settings and lists are the session's only for its length.
        wchar_t local[MAX_PATH];
        maker_ = std::wstring(local, GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH)) + L"\\Tarnwick";
        MoveFileW(maker_.c_str(), (folder_ / L"maker").c_str());
    }

    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(maker_, ignored);
        MoveFileW((folder_ / L"maker").c_str(), maker_.c_str());
    }

    // The exit code of standin.exe over the session text, held to the expectations when there are some.
    DWORD run_session(const std::string& session, const std::wstring& project = L"", const std::string& expect = "")
    {
        qzsdk::test::write_bytes(folder_ / L"test.session", session);
        std::wstring command = L"\"" + (folder_ / L"standin.exe").wide() + L"\" --project \"" +
                               (project.empty() ? (folder_ / L"project.json").wide() : project) + L"\" --session \"" +
                               (folder_ / L"test.session").wide() + L"\" --out \"" + out().wide() + L"\"";
        if (!expect.empty()) {
            qzsdk::test::write_bytes(folder_ / L"test.expect.json", expect);
            command += L" --expect \"" + (folder_ / L"test.expect.json").wide() + L"\"";
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.get().c_str(),
                            &startup, &process))
            return 0xDEAD;
        DWORD code = 0xBEEF;
        if (WaitForSingleObject(process.hProcess, 100000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }

    qzsdk::path out() const { return folder_ / L"out"; }
    json state() const { return json::parse(read_bytes(out().join(L"state.json")), nullptr, false); }

    qzsdk::test::temp_folder folder_;
    std::wstring maker_;
};

class SampleSession : public StandinRunner, public testing::WithParamInterface<std::string> {};

// Each session passes (or ends with the exit code its expectations name), writes the screenshots it names,
// and its state.json holds its expectations.
TEST_P(SampleSession, PassesAndMeetsItsExpectations)
{
    std::wstring base = samples + L"/" + standin::to_wide(GetParam());
    std::string session = read_bytes(qzsdk::path(base + L".session"));
    json expected = json::parse(read_bytes(qzsdk::path(base + L".expect.json")));
    ASSERT_EQ(run_session(session, samples + L"/sample_project.json"), expected.value("exit_code", 0u))
        << state().dump(1);
    for (const standin::SessionCommand& command : standin::parse_session(session))
        if (command.verb == standin::SessionVerb::screenshot) {
            EXPECT_EQ(read_bytes(out().join(standin::to_wide(command.text + ".png").c_str())).substr(0, 8),
                      "\x89PNG\r\n\x1a\n");
        }
    EXPECT_EQ(standin::expectation_mismatch(state(), expected), "") << "in " << state().dump(1);
}

std::vector<std::string> sample_names()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(samples))
        if (entry.path().extension() == ".session")
            names.push_back(entry.path().stem().string());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleSession, testing::ValuesIn(sample_names()),
                         [](const auto& info) { return info.param; });

TEST_F(StandinRunner, FailedCommandsAreNamedAndTheExitCodeSaysSo)
{
    EXPECT_EQ(run_session("select Nobody\nchoose Gaussian Blur\nidle\n"), 1u);
    json failures = state()["failures"];
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0]["line"], 1);
    EXPECT_NE(failures[0]["message"].get<std::string>().find("no layer named \"Nobody\""), std::string::npos);
    // Before the first idle call the module has no catalogue to choose from.
    EXPECT_NE(failures[1]["message"].get<std::string>().find("no entry \"Gaussian Blur\""), std::string::npos);
}

// A screenshot waits for a steady screen and tells what it shows; the run fails when that is not what the
// expectations name, as `./run demo` does with its pictures. A session waits for a window to go as it waits
// for one to come.
TEST_F(StandinRunner, ScreenshotsTellTheirThemeAndWrongExpectationsFailTheRun)
{
    const std::string session =
        "idle 5\nkeys ctrl+space\nwindow Effects Popup\nscreenshot popup\nkey escape\ngone Effects Popup\nquit\n";
    EXPECT_EQ(run_session(session, L"", R"({"screenshots": {"popup": {"window": "Effects Popup", "theme": "dark",
                                                                       "one_colour": false,
                                                                       "window_one_colour": false}}})"),
              0u)
        << state()["screenshots"].dump();
    EXPECT_EQ(run_session(session, L"", R"({"screenshots": {"popup": {"theme": "light"}}})"), 1u);
    EXPECT_EQ(state()["screenshots"]["popup"]["theme"], "dark") << "the state is written all the same";
    EXPECT_EQ(run_session(session, L"", "{not json"), 2u) << "an unreadable expectation stops before the module loads";
}

// quit_warning without its answer: the death hook's "Failed to Save" waits at the quit, and the watchdog ends
// the session 30 s later with state.json and code 1.
TEST_F(StandinRunner, ADeathHookWarningNoCommandAnswersEndsWithTheStateAndCode1)
{
    std::string session = read_bytes(qzsdk::path(samples + L"/quit_warning.session"));
    const size_t answer = session.find("\ndeath\n");
    ASSERT_NE(answer, std::string::npos) << "quit_warning no longer runs the death hooks itself";
    session = session.substr(0, answer) + "\nquit\n";
    ASSERT_EQ(run_session(session, samples + L"/sample_project.json"), 1u) << state().dump(1);
    const json failures = state()["failures"];
    ASSERT_FALSE(failures.empty()) << state().dump(1);
    EXPECT_EQ(failures[0]["command"], "quit");
    EXPECT_NE(failures[0]["message"].get<std::string>().find("opened by the death hooks at the quit"),
              std::string::npos)
        << failures.dump();
    EXPECT_EQ(state()["exit_code"], 1);
    EXPECT_EQ(state()["death_hook_calls"], 0) << "the death hook returned";
}

TEST_F(StandinRunner, UnknownCommandStopsBeforeTheModuleLoads)
{
    EXPECT_EQ(run_session("idle\njump\n"), 2u);
    EXPECT_EQ(read_bytes(out().join(L"state.json")), "<missing>");
}

}  // namespace
