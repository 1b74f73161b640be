#include "popup/list_file_io.h"

#include "toolkit/platform/atomic_write.h"
#include "toolkit/platform/mapped_file.h"

namespace {

// Thousands of lists' worth; anything larger is not a list file of ours.
constexpr uint64_t max_list_file_size = 16ull << 20;

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
    return !folder.empty() && qzsdk::write_file_atomically(folder.join(file_name), text);
}
