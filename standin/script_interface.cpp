#include "standin/script_interface.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace standin {

namespace {

// The script engine's tagged value: an 8-byte value, then its type.
struct TaggedValue {
    union {
        int32_t integer;
        double number;
        char* string;
    };
    int32_t type;
    int32_t filler;
};

constexpr int32_t type_undefined = 0;
constexpr int32_t type_double = 3;
constexpr int32_t type_string = 4;
constexpr int32_t type_integer = 123;
constexpr int32_t type_script = 125;

using InitializeFunc = char* (*)(const TaggedValue** argv, int32_t argc);
using ExecuteFunc = int32_t (*)(TaggedValue* argv, int32_t argc, TaggedValue* result);
using FreeMemFunc = void (*)(void* pointer);

template <typename Function>
Function export_of(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

TaggedValue value_of(std::string& text)
{
    TaggedValue value{};
    int32_t integer = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), integer);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size()) {
        value.integer = integer;
        value.type = type_integer;
        return value;
    }
    char* number_end = nullptr;
    double number = std::strtod(text.c_str(), &number_end);
    if (!text.empty() && number_end == text.c_str() + text.size()) {
        value.number = number;
        value.type = type_double;
        return value;
    }
    value.string = text.data();
    value.type = type_string;
    return value;
}

std::string describe(const TaggedValue& value)
{
    switch (value.type) {
    case type_undefined: return "undefined";
    case type_integer: return std::to_string(value.integer);
    case type_double: return std::to_string(value.number);
    case type_string:
    case type_script: return value.string ? value.string : "";
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
    std::vector<TaggedValue> values;
    values.push_back(TaggedValue{});
    values[0].string = texts[0].data();
    values[0].type = type_string;
    for (size_t i = 1; i < texts.size(); ++i)
        values.push_back(value_of(texts[i]));
    TaggedValue result{};
    result.type = type_undefined;
    int32_t code = execute(values.data(), static_cast<int32_t>(values.size()), &result);
    ScriptCallRecord record{verb, args, code, describe(result)};
    if (result.type == type_script && result.string)
        if (auto free_memory = export_of<FreeMemFunc>(module_, "ESFreeMem"))
            free_memory(result.string);
    return record;
}

}  // namespace standin
