#include "popup/unread_files.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace {

struct UnreadFile {
    qzsdk::path file;
    bool told = false;
};

// Only the user-interface thread reads and writes these files.
std::vector<UnreadFile>& unread_files()
{
    static std::vector<UnreadFile> files;
    return files;
}

bool same_file(const qzsdk::path& a, const qzsdk::path& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

auto find_unread(const qzsdk::path& file)
{
    return std::find_if(unread_files().begin(), unread_files().end(),
                        [&](const UnreadFile& unread) { return same_file(unread.file, file); });
}

}  // namespace

void remember_unread_file(const qzsdk::path& file)
{
    if (find_unread(file) == unread_files().end())
        unread_files().push_back({file});
}

void forget_unread_file(const qzsdk::path& file)
{
    if (auto found = find_unread(file); found != unread_files().end())
        unread_files().erase(found);
}

bool is_unread_file(const qzsdk::path& file)
{
    return find_unread(file) != unread_files().end();
}

std::vector<std::string> take_untold_unread_files()
{
    std::vector<std::string> names;
    for (UnreadFile& unread : unread_files())
        if (!std::exchange(unread.told, true))
            names.push_back(unread.file.file_name(true).to_utf8());
    return names;
}
