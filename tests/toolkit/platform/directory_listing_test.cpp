#include "toolkit/platform/directory_listing.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace qzsdk;
using qzsdk::test::make_folder;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

namespace {

// Entries as "path" or "path\" for folders, without "." and "..".
std::vector<std::wstring> list(const path& folder, uint32_t recursive)
{
    std::vector<std::wstring> seen;
    for (const directory_entry& entry : directory_listing{folder, recursive}) {
        std::wstring name = entry.relative_path.file_name().wide();
        if (name != L"." && name != L"..")
            seen.push_back(entry.relative_path.wide() + (entry.is_folder ? L"\\" : L""));
    }
    return seen;
}

// The position of each entry; the order within one folder is the file system's.
size_t position(const std::vector<std::wstring>& seen, const std::wstring& entry)
{
    for (size_t i = 0; i < seen.size(); ++i)
        if (seen[i] == entry)
            return i;
    ADD_FAILURE() << "missing entry";
    return seen.size();
}

}  // namespace

TEST(DirectoryListing, RecursiveWalkIsBreadthFirstWithRelativePaths)
{
    temp_folder root;
    make_folder(root / L"a\\c");
    make_folder(root / L"b");
    write_bytes(root / L"top.txt", "");
    write_bytes(root / L"a\\in_a.txt", "");
    write_bytes(root / L"b\\in_b.txt", "");
    write_bytes(root / L"a\\c\\file.png", "");

    std::vector<std::wstring> flat = list(root.get(), 0);
    EXPECT_EQ(flat.size(), 3u);

    std::vector<std::wstring> seen = list(root.get(), 1);
    ASSERT_EQ(seen.size(), 7u);
    size_t top = position(seen, L"top.txt"), a = position(seen, L"a\\"), b = position(seen, L"b\\");
    size_t in_a = position(seen, L"a\\in_a.txt"), c = position(seen, L"a\\c\\");
    size_t in_b = position(seen, L"b\\in_b.txt"), deep = position(seen, L"a\\c\\file.png");
    for (size_t first_level : {top, a, b})
        EXPECT_LT(first_level, std::min(in_a, c));
    // a was met before b exactly when a's entries come before b's.
    EXPECT_EQ(a < b, std::max(in_a, c) < in_b);
    EXPECT_LT(std::max({in_a, c, in_b}), deep);

    // No path is no folder, not the working folder; a missing folder lists nothing.
    SetCurrentDirectoryW(root.get().c_str());
    EXPECT_TRUE(list(path(), 1).empty());
    SetCurrentDirectoryW(L"C:\\");
    EXPECT_TRUE(list(root / L"missing", 1).empty());
}

TEST(DirectoryListing, ADriveRootListsItsFirstEntryToo)
{
    // A drive root has no "." entry, so the first record is a real one and must be walked.
    std::vector<std::wstring> expected;
    WIN32_FIND_DATAW record;
    HANDLE find = FindFirstFileW(L"C:\\*", &record);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    std::wstring first = record.cFileName;
    bool first_is_folder = record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    FindClose(find);

    directory_listing listing{path(L"C:\\"), 0};
    directory_iterator it = listing.begin();
    ASSERT_TRUE(it != listing.end());
    EXPECT_EQ(it->relative_path.wide(), first);
    if (first_is_folder && first != L"." && (record.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) == 0) {
        directory_listing walk{path(L"C:\\"), 1};
        bool entered = false;
        for (const directory_entry& entry : walk)
            if (entry.relative_path.parent().wide() == first) {
                entered = true;
                break;
            }
        EXPECT_TRUE(entered) << "the first folder of the root was not walked";
    }
}

TEST(DirectoryListing, WalkPassesOverAVanishedFolderAndDoesNotFollowLinks)
{
    temp_folder root;
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        make_folder(root.get().join(name));
        write_bytes(root.get().join(name).join(L"inside.txt"), "");
    }
    path outside = root / L"outside";
    make_folder(outside.join(L"deep"));
    write_bytes(outside.join(L"deep\\elsewhere.txt"), "");
    path tree = root / L"tree";
    make_folder(tree);
    bool linked = CreateSymbolicLinkW(tree.join(L"link").c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);

    // The first sub-folder met is queued, then removed before the walk reaches it.
    std::wstring removed;
    std::vector<std::wstring> files;
    for (const directory_entry& entry : directory_listing{root.get(), 1}) {
        std::wstring name = entry.relative_path.wide();
        if (entry.is_folder && removed.empty() && (name == L"a" || name == L"b" || name == L"c")) {
            removed = name;
            std::filesystem::remove_all(root.get().join(entry.relative_path).wide());
        }
        if (!entry.is_folder)
            files.push_back(name);
    }
    ASSERT_FALSE(removed.empty());
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        if (removed != name) {
            EXPECT_NE(std::find(files.begin(), files.end(), std::wstring(name) + L"\\inside.txt"), files.end()) << name;
        }
    }
    if (linked) {
        EXPECT_EQ(std::find(files.begin(), files.end(), L"tree\\link\\deep\\elsewhere.txt"), files.end());
        EXPECT_NE(std::find(files.begin(), files.end(), L"outside\\deep\\elsewhere.txt"), files.end());
    }
}
