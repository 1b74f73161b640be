#include "tests/support/temp_folder.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qzsdk::test {

temp_folder::temp_folder()
{
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    folder_ = path(base).join(path(L"zephrin_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                   std::to_wstring(counter++)));
    std::filesystem::remove_all(folder_.wide());
    std::filesystem::create_directories(folder_.wide());
}

temp_folder::~temp_folder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_.wide(), ignored);
}

void write_bytes(const path& file, const std::string& bytes)
{
    std::ofstream out(std::filesystem::path(file.wide()), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.to_utf8());
}

std::string read_bytes(const path& file)
{
    std::ifstream in(std::filesystem::path(file.wide()), std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void make_folder(const path& folder)
{
    std::filesystem::create_directories(folder.wide());
}

}  // namespace qzsdk::test
