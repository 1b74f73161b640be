#pragma once
// The few ExtendScript texts the module sends, understood the way the host's engine would run them.
#include <string>

namespace standin {

class Host;
struct ScriptOutcome;

ScriptOutcome interpret_script(Host& host, const std::string& script);

// The file name of a path without folder and extension.
std::string file_stem(const std::string& path);

}  // namespace standin
