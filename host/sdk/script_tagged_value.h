#pragma once
// The script engine's tagged value as its external-object interface passes arguments and results, and the
// functions such an object exports. Shared by the module and the stand-in host that calls it.
#include <cstdint>

struct ScriptTaggedValue {
    union {
        int32_t integer;
        double number;
        char* string;  // zero-terminated UTF-8
    };
    int32_t type;
    int32_t filler;
};
static_assert(sizeof(ScriptTaggedValue) == 16);

enum ScriptValueType : int32_t {
    script_value_undefined = 0,
    script_value_double = 3,
    script_value_string = 4,
    script_value_integer = 123,
    script_value_script = 125,  // text the engine runs; allocated by the object, freed through ESFreeMem
};

// The codes execute returns.
constexpr int32_t script_call_ok = 0;
constexpr int32_t script_call_bad_arguments = 20;

extern "C" {
// The function list of the object, a text that stays owned by the object.
char* ESInitialize(const ScriptTaggedValue** argv, int32_t argc);
int32_t ESGetVersion();
void ESTerminate();
void ESFreeMem(void* pointer);
int32_t execute(ScriptTaggedValue* argv, int32_t argc, ScriptTaggedValue* result);
}
