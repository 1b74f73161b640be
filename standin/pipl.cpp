#include "standin/pipl.h"

#include <cstring>

namespace standin {

namespace {

constexpr int pipl_resource_id = 16000;

uint32_t read_u32(const unsigned char* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace

std::map<std::string, std::string> read_pipl(HMODULE module)
{
    std::map<std::string, std::string> properties;
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(pipl_resource_id), L"PIPL");
    if (!info)
        return properties;
    HGLOBAL loaded = LoadResource(module, info);
    DWORD size = SizeofResource(module, info);
    auto* bytes = static_cast<const unsigned char*>(LockResource(loaded));
    if (!bytes || size < 8 || std::memcmp(bytes, "ZPL1", 4) != 0)
        return properties;
    uint32_t count = read_u32(bytes + 4);
    size_t at = 8;
    for (uint32_t i = 0; i < count && at + 8 <= size; ++i) {
        std::string key(reinterpret_cast<const char*>(bytes + at), 4);
        uint32_t length = read_u32(bytes + at + 4);
        at += 8;
        if (length > size - at)
            break;
        std::string value(reinterpret_cast<const char*>(bytes + at), length);
        properties[key] = value.substr(0, value.find('\0'));
        if (key == "vers")
            properties[key] = value;
        at += (length + 3) & ~size_t{3};
    }
    return properties;
}

}  // namespace standin
