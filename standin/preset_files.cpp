#include "standin/preset_files.h"

#include "standin/text_codec.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <stdexcept>

namespace standin {

namespace {

std::wstring backslashed(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

void create_preset(const std::wstring& folder, const std::string& relative)
{
    std::wstring path = folder + L"\\" + backslashed(to_wide(relative));
    std::wstring parent = path.substr(0, path.find_last_of(L'\\'));
    int made = SHCreateDirectoryExW(nullptr, parent.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS)
        throw std::runtime_error("cannot create the preset folder for \"" + relative + "\"");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_EXISTS)
            return;
        throw std::runtime_error("cannot create the preset file \"" + relative + "\"");
    }
    std::unique_ptr<void, decltype(&CloseHandle)> owner(file, &CloseHandle);
    static constexpr char content[] = "stand-in animation preset\r\n";
    DWORD written = 0;
    WriteFile(file, content, sizeof(content) - 1, &written, nullptr);
}

}  // namespace

std::wstring host_presets_folder()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/")) + L"\\Presets";
}

std::wstring host_generation_folder(int major, int minor)
{
    switch (major) {
    case 115: return L"After Effects CC 2018";
    case 114: return L"After Effects CC 2017";
    case 113: return minor >= 5 ? L"After Effects CC 2015" : L"After Effects CC 2014";
    case 112: return L"After Effects CC";
    case 111: return L"After Effects CS6";
    default: return L"After Effects CS5";
    }
}

std::wstring user_presets_folder(int major, int minor)
{
    PWSTR documents = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents)))
        throw std::runtime_error("cannot find the documents folder");
    std::wstring folder = documents;
    CoTaskMemFree(documents);
    return folder + L"\\Adobe\\" + host_generation_folder(major, minor) + L"\\User Presets";
}

void lay_out_presets(const Project& project, int major, int minor)
{
    if (!project.host_presets.empty()) {
        std::wstring folder = host_presets_folder();
        for (const std::string& relative : project.host_presets)
            create_preset(folder, relative);
    }
    if (!project.user_presets.empty()) {
        std::wstring folder = user_presets_folder(major, minor);
        for (const std::string& relative : project.user_presets)
            create_preset(folder, relative);
    }
}

}  // namespace standin
