#include "standin/module_choice.h"

#include <cstdint>

namespace standin {

std::string choose_entry(HMODULE module, const std::string& name)
{
    using ChooseEntry = int32_t (*)(const char*);
    auto choose = module ? reinterpret_cast<ChooseEntry>(reinterpret_cast<void*>(GetProcAddress(module, "ZephrinChooseEntry"))) : nullptr;
    if (!choose)
        return "the module exports no way to choose an entry";
    if (!choose(name.c_str()))
        return "the module's catalogue has no entry \"" + name + "\" (or it has no catalogue yet)";
    return {};
}

}  // namespace standin
