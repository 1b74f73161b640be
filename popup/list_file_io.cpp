#include "popup/list_file_io.h"

#include "toolkit/platform/atomic_write.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/mapped_file.h"

#include <windows.h>

namespace {

// Thousands of lists' worth; anything larger is not a list file of ours.
constexpr uint64_t max_list_file_size = 16ull << 20;

// A file too large to read was never taken in, so replacing it would lose what the user had: it is moved
// aside to "<name>.too-large" first, and when that name is taken the write is refused.
bool set_aside_if_oversized(const qzsdk::path& file)
{
    qzsdk::file_info info = qzsdk::get_file_info(file);
    if (!info.exists || info.size <= max_list_file_size)
        return true;
    return MoveFileExW(file.c_str(), file.append_extension("too-large").c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

std::string read_list_file(const qzsdk::path& folder, const wchar_t* file_name)
{
    if (folder.empty())
        return {};
    qzsdk::mapped_file file(folder.join(file_name), qzsdk::mapped_file_read);
    if (!file.view() || file.size() > max_list_file_size)
        return {};
    return std::string(reinterpret_cast<const char*>(file.view()), file.size());
}

bool write_list_file(const qzsdk::path& folder, const wchar_t* file_name, std::string_view text)
{
    if (folder.empty())
        return false;
    qzsdk::path file = folder.join(file_name);
    return set_aside_if_oversized(file) && qzsdk::write_file_atomically(file, text);
}
