#pragma once
// The module's script interface, called the way the host's script engine calls an external object:
// ESInitialize once, then execute with tagged values.
#include "standin/bookkeeping.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace standin {

class ScriptInterface {
public:
    explicit ScriptInterface(HMODULE module) : module_(module) {}

    // Empty when the module exports no `execute`. Arguments that read as whole numbers pass as integers,
    // other numbers as doubles, anything else as strings.
    std::optional<ScriptCallRecord> call(const std::string& verb, const std::vector<std::string>& args);

private:
    HMODULE module_;
    bool initialized_ = false;
};

}  // namespace standin
