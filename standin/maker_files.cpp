#include "standin/maker_files.h"

#include "standin/file_text.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>

namespace standin {

namespace {

using json = nlohmann::json;

std::wstring maker_folder()
{
    PWSTR base = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &base)))
        folder = std::wstring(base) + L"\\Tarnwick\\";
    CoTaskMemFree(base);
    return folder;
}

std::string hex(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// An 8-byte mark, then records of a little-endian type and length and the payload.
json settings_records(const std::string& bytes)
{
    constexpr size_t mark_size = 8;
    json records = json::array();
    size_t at = mark_size;
    while (at + 8 <= bytes.size()) {
        uint32_t type = 0, length = 0;
        std::memcpy(&type, bytes.data() + at, 4);
        std::memcpy(&length, bytes.data() + at + 4, 4);
        at += 8;
        if (length > bytes.size() - at)
            return {{"size", bytes.size()}};
        records.push_back({{"type", type}, {"hex", hex(std::string_view(bytes).substr(at, length))}});
        at += length;
    }
    if (bytes.size() < mark_size || at != bytes.size())
        return {{"size", bytes.size()}};
    return {{"records", records}};
}

}  // namespace

json maker_files_json()
{
    std::wstring folder = maker_folder();
    json files = json::object();
    for (const wchar_t* name : {L"effects_settings", L"effects_search.txt", L"effects_shortcuts.txt"}) {
        std::string key(name, name + wcslen(name));
        std::string bytes;
        try {
            bytes = read_text_file(folder + name, "maker file");
        } catch (const std::exception&) {
            files[key] = nullptr;
            continue;
        }
        files[key] = key == "effects_settings" ? settings_records(bytes) : json{{"text", bytes}};
    }
    return files;
}

}  // namespace standin
