// standin.exe --project FILE [--session FILE] [--out DIR] [--expect FILE] [--version MAJOR.MINOR]
// Loads Zephrin.aex from beside itself into the stand-in host over the project. With a session it runs
// the session's commands and writes DIR/state.json, which must hold the --expect file's expectations when one
// is given; without, it is interactive until the window closes.
#include "standin/capture_files.h"
#include "standin/clipboard_state.h"
#include "standin/expectation.h"
#include "standin/file_text.h"
#include "standin/host.h"
#include "standin/maker_files.h"
#include "standin/session_runner.h"
#include "standin/state_file.h"
#include "standin/text_codec.h"

#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <optional>

namespace {

enum ExitCode : int {
    exit_ok = 0,
    exit_command_failed = 1,
    exit_bad_input = 2,
    exit_no_module = 3,
    exit_unload_failed = standin::unload_hang_exit_code,
};

struct Options {
    std::wstring project;
    std::wstring session;
    std::wstring out;
    std::wstring expect;
    nlohmann::json expected;  // read from `expect` before the session starts
    int major = 115;
    int minor = 0;
};

std::optional<std::pair<int, int>> parse_version(const std::wstring& text)
{
    int major = 0, minor = 0;
    wchar_t dot = 0, extra = 0;
    if (swscanf(text.c_str(), L"%d%lc%d%lc", &major, &dot, &minor, &extra) != 3 || dot != L'.' || major < 0 ||
        minor < 0)
        return std::nullopt;
    return std::make_pair(major, minor);
}

std::optional<Options> parse_options(int argc, wchar_t** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::wstring name = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "standin: %ls needs a value\n", name.c_str());
            return std::nullopt;
        }
        std::wstring value = argv[++i];
        if (name == L"--project") {
            options.project = value;
        } else if (name == L"--session") {
            options.session = value;
        } else if (name == L"--out") {
            options.out = value;
        } else if (name == L"--expect") {
            options.expect = value;
        } else if (name == L"--version") {
            auto version = parse_version(value);
            if (!version) {
                std::fprintf(stderr, "standin: --version takes MAJOR.MINOR, such as 115.0\n");
                return std::nullopt;
            }
            std::tie(options.major, options.minor) = *version;
        } else {
            std::fprintf(stderr, "standin: unknown option %ls\n", name.c_str());
            return std::nullopt;
        }
    }
    if (options.project.empty()) {
        std::fprintf(stderr, "usage: standin.exe --project FILE [--session FILE] [--out DIR] [--expect FILE] [--version M.m]\n");
        return std::nullopt;
    }
    return options;
}

std::wstring module_beside_executable()
{
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Zephrin.aex";
}

// Whether the state holds the expectations of the --expect file, if any; says where it does not.
bool meets_expectations(const Options& options, const nlohmann::json& state)
{
    if (options.expect.empty())
        return true;
    std::string mismatch = standin::expectation_mismatch(state, options.expected);
    if (!mismatch.empty())
        std::fprintf(stderr, "standin: the state does not meet %ls: %s\n", options.expect.c_str(), mismatch.c_str());
    return mismatch.empty();
}

// The session's state.json (when there is an --out folder) and a summary line; false when writing failed or
// the state does not meet the expectations. `exit_code` is the code the run ends with when they are met.
bool report(const Options& options, standin::Host& host, const standin::SessionRunner& runner, A_Err entry_result,
            bool unloaded, ExitCode exit_code, const FILETIME& started)
{
    nlohmann::json state = standin::bookkeeping_json(host.book(), host.project());
    state["version"] = std::to_string(options.major) + "." + std::to_string(options.minor);
    state["entry_result"] = entry_result;
    state["unloaded"] = unloaded;
    state["quit"] = runner.quit();
    state["exit_code"] = exit_code;
    nlohmann::json failures = nlohmann::json::array();
    for (const standin::SessionFailure& failure : runner.failures())
        failures.push_back({{"line", failure.line}, {"command", failure.command}, {"message", failure.message}});
    state["failures"] = failures;
    state["files"] = standin::maker_files_json();
    state["file_checks"] = standin::file_checks_json(runner.file_checks());
    state["clipboard"] = standin::clipboard_json();
    state["captures"] = standin::capture_files_json(started);
    bool written = true;
    if (!options.out.empty()) {
        try {
            standin::write_json_file(options.out + L"\\state.json", state);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "standin: %s\n", error.what());
            written = false;
        }
    }
    std::printf("standin: version %d.%d, hooks %zu idle %zu death, idle calls %d, suites %s, %zu failed commands\n",
                options.major, options.minor, host.book().idle_hooks.size(), host.book().death_hooks.size(),
                host.book().idle_calls, host.book().suites_balanced() ? "balanced" : "NOT balanced",
                runner.failures().size());
    std::fflush(stdout);
    return meets_expectations(options, state) && written;
}

int run(Options& options)
{
    FILETIME started{};
    GetSystemTimeAsFileTime(&started);
    standin::Project project;
    std::vector<standin::SessionCommand> commands;
    try {
        project = standin::load_project_file(options.project);
        if (!options.session.empty())
            commands = standin::parse_session(standin::read_text_file(options.session, "session file"));
        if (!options.expect.empty())
            options.expected = nlohmann::json::parse(standin::read_text_file(options.expect, "expectation file"));
        if (!options.out.empty())
            CreateDirectoryW(options.out.c_str(), nullptr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "standin: %s\n", error.what());
        return exit_bad_input;
    }

    // Read by the module once, when its news check first asks.
    SetEnvironmentVariableW(L"ZEPHRIN_NEWS_SERVER", standin::to_wide(project.news_server).c_str());
    standin::Host host(std::move(project), true);
    std::wstring module_path = module_beside_executable();
    if (!host.load_module(module_path)) {
        std::fprintf(stderr, "standin: cannot load %ls or find its entry in its PiPL\n", module_path.c_str());
        return exit_no_module;
    }
    A_Err entry_result = host.call_entry(options.major, options.minor);

    standin::SessionRunner runner(host, options.out);
    // The UI thread is stuck in the module: the state is written from the session's thread and the process
    // ends, as after a hung unload.
    runner.on_hang([&] {
        report(options, host, runner, entry_result, false, exit_command_failed, started);
        TerminateProcess(GetCurrentProcess(), exit_command_failed);
    });
    bool commands_ok = true;
    if (options.session.empty()) {
        host.run_until_closed();
        host.settle_window_log();
        host.run_death_hooks();
    } else {
        // The session quits the host itself, within its watchdog's time.
        commands_ok = runner.run(commands);
    }
    host.on_unload_hang([&] { report(options, host, runner, entry_result, false, exit_unload_failed, started); });
    bool unloaded = host.unload_module(standin::default_unload_timeout_ms);
    if (!unloaded)
        std::fprintf(stderr, "standin: FreeLibrary failed for the module\n");
    const ExitCode exit_code = !unloaded ? exit_unload_failed : commands_ok ? exit_ok : exit_command_failed;
    bool reported = report(options, host, runner, entry_result, unloaded, exit_code, started);
    return exit_code == exit_ok && !reported ? exit_command_failed : exit_code;
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    auto options = argv ? parse_options(argc, argv) : std::nullopt;
    LocalFree(argv);
    if (!options)
        return exit_bad_input;
    // The real host's UI thread is an OLE thread; the module's drag and drop and clipboard rely on it.
    if (FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "standin: OleInitialize failed\n");
        return exit_bad_input;
    }
    int result = exit_bad_input;
    try {
        result = run(*options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "standin: %s\n", error.what());
    }
    OleUninitialize();
    return result;
}
