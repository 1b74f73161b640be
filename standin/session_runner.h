#pragma once
// Carries out a parsed session against the host and the loaded module.
#include "standin/host.h"
#include "standin/key_chord.h"
#include "standin/script_interface.h"
#include "standin/session.h"

#include <string>
#include <vector>

namespace standin {

struct SessionFailure {
    int line;
    std::string command;
    std::string message;
};

class SessionRunner {
public:
    // `out_folder` receives the screenshots; empty: screenshots fail with a message saying so.
    SessionRunner(Host& host, std::wstring out_folder);

    // Runs every command up to the end or a quit; false when any command failed.
    bool run(const std::vector<SessionCommand>& commands);
    const std::vector<SessionFailure>& failures() const { return failures_; }
    bool quit() const { return quit_; }

private:
    // An empty answer is success; otherwise the message of the failure.
    std::string run_command(const SessionCommand& command);
    std::string press(const KeyChord& chord);
    std::string screenshot(const std::string& name);
    std::string script(const SessionCommand& command);

    Host& host_;
    std::wstring out_folder_;
    ScriptInterface script_interface_;
    std::vector<SessionFailure> failures_;
    bool quit_ = false;
};

}  // namespace standin
