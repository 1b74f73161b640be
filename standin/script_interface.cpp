#include "standin/script_interface.h"

#include "host/sdk/script_tagged_value.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace standin {

namespace {

using InitializeFunc = decltype(&ESInitialize);
using ExecuteFunc = decltype(&execute);
using FreeMemFunc = decltype(&ESFreeMem);

template <typename Function>
Function export_of(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

ScriptTaggedValue value_of(std::string& text)
{
    ScriptTaggedValue value{};
    int32_t integer = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), integer);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size()) {
        value.integer = integer;
        value.type = script_value_integer;
        return value;
    }
    char* number_end = nullptr;
    double number = std::strtod(text.c_str(), &number_end);
    if (!text.empty() && number_end == text.c_str() + text.size()) {
        value.number = number;
        value.type = script_value_double;
        return value;
    }
    value.string = text.data();
    value.type = script_value_string;
    return value;
}

std::string describe(const ScriptTaggedValue& value)
{
    switch (value.type) {
    case script_value_undefined: return "undefined";
    case script_value_integer: return std::to_string(value.integer);
    case script_value_double: return std::to_string(value.number);
    case script_value_string:
    case script_value_script: return value.string ? value.string : "";
    default: return "type " + std::to_string(value.type);
    }
}

}  // namespace

std::optional<ScriptCallRecord> ScriptInterface::call(const std::string& verb, const std::vector<std::string>& args)
{
    auto execute = module_ ? export_of<ExecuteFunc>(module_, "execute") : nullptr;
    if (!execute)
        return std::nullopt;
    if (!initialized_) {
        if (auto initialize = export_of<InitializeFunc>(module_, "ESInitialize"))
            initialize(nullptr, 0);
        initialized_ = true;
    }
    std::vector<std::string> texts{verb};
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<ScriptTaggedValue> values;
    values.push_back(ScriptTaggedValue{});
    values[0].string = texts[0].data();
    values[0].type = script_value_string;
    for (size_t i = 1; i < texts.size(); ++i)
        values.push_back(value_of(texts[i]));
    ScriptTaggedValue result{};
    result.type = script_value_undefined;
    int32_t code = execute(values.data(), static_cast<int32_t>(values.size()), &result);
    ScriptCallRecord record{verb, args, code, describe(result)};
    if (result.type == script_value_script && result.string)
        if (auto free_memory = export_of<FreeMemFunc>(module_, "ESFreeMem"))
            free_memory(result.string);
    return record;
}

}  // namespace standin
