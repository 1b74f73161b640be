#include "toolkit/platform/path.h"

#include <gtest/gtest.h>

using qzsdk::path;

TEST(Paths, JoinParentNameAndExtensionRules)
{
    struct join_case {
        const wchar_t* base;
        const wchar_t* other;
        const wchar_t* joined;
    };
    for (const join_case& c : {join_case{L"C:\\data", L"", L"C:\\data"}, join_case{L"C:\\data\\", L"\\x", L"C:\\data\\x"},
                               join_case{L"", L"\\x", L"x"}, join_case{L"C:\\data", L"a/b", L"C:\\data\\a\\b"}})
        EXPECT_EQ(path(c.base).join(c.other).wide(), c.joined) << c.base << " + " << c.other;

    struct split_case {
        const wchar_t* whole;
        const wchar_t* parent;
        const wchar_t* name;
        const wchar_t* stem;
        const char* extension;
    };
    for (const split_case& c : {
             split_case{L"C:\\data\\file.png", L"C:\\data", L"file.png", L"file", "png"},
             split_case{L"C:\\data\\", L"C:", L"data", L"data", ""},
             split_case{L"file.png", L"", L"file.png", L"file", "png"},
             split_case{L"C:\\data\\shot.2018.png", L"C:\\data", L"shot.2018.png", L"shot.2018", "png"},
             split_case{L"C:\\a.b\\file", L"C:\\a.b", L"file", L"file", ""},
             split_case{L"C:\\a\\archive.tar.gz", L"C:\\a", L"archive.tar.gz", L"archive.tar", "gz"},
         }) {
        path whole(c.whole);
        EXPECT_EQ(whole.parent().wide(), c.parent) << c.whole;
        EXPECT_EQ(whole.file_name(true).wide(), c.name) << c.whole;
        EXPECT_EQ(whole.file_name(false).wide(), c.stem) << c.whole;
        EXPECT_EQ(whole.extension(), c.extension) << c.whole;
    }
}

TEST(Paths, ConstructionTurnsSlashesAndConvertsUtf8)
{
    EXPECT_EQ(path::from_utf8("Tarnwick/Zephrin/Capture").wide(), L"Tarnwick\\Zephrin\\Capture");
    EXPECT_EQ(path(L"C:/x/y").wide(), L"C:\\x\\y");
    path accented = path::from_utf8("C:/Caf\xC3\xA9/\xE2\x9C\x93.png");
    EXPECT_EQ(accented.wide(), L"C:\\Caf\u00E9\\\u2713.png");
    EXPECT_EQ(accented.to_utf8(), "C:\\Caf\xC3\xA9\\\xE2\x9C\x93.png");
    EXPECT_EQ(path(L"a.png").append_extension("jpg").wide(), L"a.png.jpg");
    EXPECT_TRUE(path(static_cast<const wchar_t*>(nullptr)).empty());
}

TEST(Paths, OnlyDrivePathsAndSharesAreAbsolute)
{
    for (const wchar_t* absolute : {L"C:\\", L"c:/Shots", L"Z:\\a\\b", L"\\\\server\\share\\x"})
        EXPECT_TRUE(path(absolute).is_absolute()) << path(absolute).to_utf8();
    // Each of these is read against the working folder or the current drive.
    for (const wchar_t* relative : {L"", L"Shots", L".\\Shots", L"\\Shots", L"C:", L"C:Shots", L"1:\\x"})
        EXPECT_FALSE(path(relative).is_absolute()) << path(relative).to_utf8();
}
