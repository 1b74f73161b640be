#include "standin/capture_files.h"

#include "standin/file_text.h"
#include "standin/text_codec.h"

#include <shlobj.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstring>
#include <map>
#include <string>

namespace standin {

namespace {

using json = nlohmann::json;
using Microsoft::WRL::ComPtr;

std::wstring known_folder(REFKNOWNFOLDERID id)
{
    PWSTR base = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &base)))
        folder = base;
    CoTaskMemFree(base);
    return folder;
}

// Record 3 of the module's settings file (the last one wins, as the module reads it), else the default.
std::wstring capture_folder()
{
    std::wstring folder = known_folder(FOLDERID_Documents) + L"\\Tarnwick\\Zephrin\\Capture";
    std::string bytes;
    try {
        bytes = read_text_file(known_folder(FOLDERID_LocalAppData) + L"\\Tarnwick\\effects_settings", "settings");
    } catch (const std::exception&) {
        return folder;
    }
    for (size_t at = 8; at + 8 <= bytes.size();) {
        uint32_t type = 0, length = 0;
        std::memcpy(&type, bytes.data() + at, 4);
        std::memcpy(&length, bytes.data() + at + 4, 4);
        at += 8;
        if (length > bytes.size() - at)
            break;
        if (type == 3 && length > 0)
            folder = to_wide(bytes.substr(at, length));
        at += length;
    }
    return folder;
}

std::pair<UINT, UINT> png_size(const std::wstring& file)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.GetAddressOf()))) ||
        FAILED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnLoad,
                                                  decoder.GetAddressOf())) ||
        FAILED(decoder->GetFrame(0, frame.GetAddressOf())) || FAILED(frame->GetSize(&width, &height)))
        return {0, 0};
    return {width, height};
}

}  // namespace

json capture_files_json(const FILETIME& since)
{
    const std::wstring folder = capture_folder();
    json files = json::array();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.png").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    std::map<std::string, json> by_name;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || CompareFileTime(&found.ftLastWriteTime, &since) < 0)
            continue;
        const auto [width, height] = png_size(folder + L"\\" + found.cFileName);
        const std::string name = to_utf8(found.cFileName);
        by_name[name] = {{"name", name}, {"width", width}, {"height", height}};
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (auto& [name, file] : by_name)
        files.push_back(std::move(file));
    return files;
}

}  // namespace standin
