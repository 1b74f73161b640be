#include "toolkit/platform/file_system.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>


using namespace qzsdk;
using qzsdk::test::make_folder;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

TEST(FileSystem, CreateDirectoriesMakesMissingParentsAndFailsPromptlyWhenAFileIsInTheWay)
{
    temp_folder root;
    path leaf = root / L"grand/parent/leaf";
    EXPECT_TRUE(create_directories(leaf));
    EXPECT_EQ(get_file_info(leaf).kind, file_kind_folder);
    EXPECT_TRUE(create_directories(leaf));
    EXPECT_FALSE(create_directories(path()));
    EXPECT_FALSE(create_directories(path(L"Q:\\no\\such\\drive")));

    write_bytes(root / L"blocker", "x");
    EXPECT_FALSE(create_directories(root / L"blocker\\below\\leaf"));
    EXPECT_FALSE(create_directories(root / L"blocker"));
    EXPECT_EQ(read_bytes(root / L"blocker"), "x");
}

TEST(FileSystem, InfoTakesTheKindFromAttributesAlsoForNonAsciiNames)
{
    temp_folder root;
    path folder = root.get().join(path::from_utf8("Caf\xC3\xA9 \xE2\x9C\x93"));
    ASSERT_TRUE(create_directories(folder));
    EXPECT_EQ(get_file_info(folder).kind, file_kind_folder);

    path file = folder.join(path::from_utf8("\xC3\xA9t\xC3\xA9.png"));
    write_bytes(file, "12345");
    file_info info = get_file_info(file);
    EXPECT_EQ(info.exists, 1);
    EXPECT_EQ(info.kind, file_kind_file);
    EXPECT_EQ(info.size, 5u);
    EXPECT_NEAR(static_cast<double>(info.modified), static_cast<double>(std::time(nullptr)), 120.0);

    file_info missing = get_file_info(root / L"missing");
    EXPECT_EQ(missing.exists, 0);
    EXPECT_EQ(missing.kind, file_kind_other);
    EXPECT_EQ(get_file_info(path()).exists, 0);
}

TEST(FileSystem, CopyFileCopiesAndNeverTruncatesItsOwnSource)
{
    temp_folder root;
    path source = root.get().join(path::from_utf8("s\xC3\xB8urce.bin"));
    std::string bytes(200000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    write_bytes(source, bytes);
    write_bytes(root / L"target.bin", std::string(300000, 'z'));

    EXPECT_TRUE(copy_file(source, root / L"target.bin"));
    EXPECT_EQ(read_bytes(root / L"target.bin"), bytes);

    // The same file under other spellings: itself, a detour through "..", another case.
    path detour = root.get().join(L"sub\\..").join(source.file_name());
    make_folder(root / L"sub");
    std::wstring shouted = source.wide();
    for (wchar_t& c : shouted)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    for (const path& same : {source, detour, path(shouted)})
        EXPECT_TRUE(copy_file(source, same));
    EXPECT_EQ(read_bytes(source), bytes);

    EXPECT_FALSE(copy_file(root / L"missing", root / L"other"));
    EXPECT_EQ(get_file_info(root / L"other").exists, 0);
    EXPECT_FALSE(copy_file(source, path()));
    EXPECT_FALSE(copy_file(path(), root / L"other"));
    EXPECT_FALSE(copy_file(source, root / L"no\\such\\folder\\x"));
}

TEST(FileSystem, RemoveTreeRemovesNestedFoldersAndNothingForNoPath)
{
    temp_folder root;
    path tree = root / L"tree";
    make_folder(tree.join(L"a\\c"));
    make_folder(tree.join(L"b"));
    write_bytes(tree.join(L"top.txt"), "1");
    write_bytes(tree.join(L"a\\c\\deep.png"), "2");
    write_bytes(tree.join(L"b\\x.txt"), "3");
    EXPECT_TRUE(remove_tree(tree));
    EXPECT_EQ(get_file_info(tree).exists, 0);

    EXPECT_FALSE(remove_tree(root / L"missing"));

    // The empty path would otherwise list the working folder.
    write_bytes(root / L"keep.txt", "k");
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(root.get().c_str());
    EXPECT_FALSE(remove_tree(path()));
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(read_bytes(root / L"keep.txt"), "k");
    EXPECT_TRUE(remove_file(root / L"keep.txt"));
    EXPECT_FALSE(remove_file(root / L"keep.txt"));
}

TEST(FileSystem, RemoveTreeRemovesALinkButNotItsTarget)
{
    temp_folder root;
    path outside = root / L"outside";
    make_folder(outside);
    write_bytes(outside.join(L"precious.txt"), "p");
    path tree = root / L"tree";
    make_folder(tree);
    if (!CreateSymbolicLinkW(tree.join(L"link").c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
        GTEST_SKIP() << "no folder links here (error " << GetLastError() << ")";
    EXPECT_TRUE(remove_tree(tree));
    EXPECT_EQ(read_bytes(outside.join(L"precious.txt")), "p");
}

TEST(FileSystem, FileTimesRoundTripAndOutOfRangeTimesAreSkipped)
{
    temp_folder root;
    path file = root / L"times.txt";
    write_bytes(file, "t");
    // Wine keeps no creation time of its own on Linux, so only the last-write time is read back.
    ASSERT_TRUE(set_file_times(file, 1'000'000'000, 1'500'000'000));
    EXPECT_EQ(get_file_info(file).modified, 1'500'000'000);
    EXPECT_TRUE(set_file_times(file, 1'000'000'000, -20'000'000'000LL));
    EXPECT_TRUE(set_file_times(file, 1'000'000'000, INT64_MAX));
    EXPECT_EQ(get_file_info(file).modified, 1'500'000'000);

    EXPECT_FALSE(set_file_times(root / L"missing", 0, 0));
    EXPECT_FALSE(set_file_times(path(), 0, 0));
}
