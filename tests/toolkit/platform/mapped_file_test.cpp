#include "toolkit/platform/mapped_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

using namespace qzsdk;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

namespace {

std::string pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

}  // namespace

TEST(MappedFile, ReadsWholeFilesAndWindowsAtUnalignedOffsets)
{
    temp_folder root;
    std::string bytes = pattern(200000);
    write_bytes(root / L"data.bin", bytes);

    mapped_file whole(root / L"data.bin", mapped_file_read);
    ASSERT_NE(whole.view(), nullptr);
    EXPECT_EQ(whole.size(), bytes.size());
    EXPECT_EQ(std::memcmp(whole.view(), bytes.data(), bytes.size()), 0);

    mapped_file window(root / L"data.bin", mapped_file_read, 0, true);
    EXPECT_TRUE(window.is_open());
    EXPECT_EQ(window.view(), nullptr);
    uint32_t rounded = window.map_view(70000, 1000);
    EXPECT_EQ(rounded, 65536u);
    ASSERT_NE(window.view(), nullptr);
    EXPECT_EQ(std::memcmp(window.view() + (70000 - rounded), bytes.data() + 70000, 1000), 0);

    // A window past the end of the mapping fails and closes the object.
    window.map_view(190000, 50000);
    EXPECT_EQ(window.view(), nullptr);
    EXPECT_EQ(window.size(), 0u);
    EXPECT_EQ(window.map_view(0, 10), 0u);

    // Missing and empty files map nothing; reading creates no file.
    write_bytes(root / L"empty.bin", "");
    for (const wchar_t* name : {L"missing.bin", L"empty.bin"}) {
        mapped_file nothing(root / name, mapped_file_read);
        EXPECT_EQ(nothing.view(), nullptr);
        EXPECT_EQ(nothing.size(), 0u);
    }
    EXPECT_EQ(read_bytes(root / L"missing.bin"), "<missing>");
}

TEST(MappedFile, WriteModeCreatesGrowsAndTruncates)
{
    temp_folder root;
    path file = root / L"grown.bin";
    {
        mapped_file created(file, mapped_file_write, 16);
        ASSERT_NE(created.view(), nullptr);
        std::memcpy(created.view(), "0123456789abcdef", 16);
    }
    EXPECT_EQ(read_bytes(file), "0123456789abcdef");
    {
        mapped_file grown(file, mapped_file_write, 20);
        ASSERT_NE(grown.view(), nullptr);
        std::memcpy(grown.view() + 16, "WXYZ", 4);
    }
    EXPECT_EQ(read_bytes(file), "0123456789abcdefWXYZ");
    {
        mapped_file truncated(file, mapped_file_write, 4, false, true);
        ASSERT_NE(truncated.view(), nullptr);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(truncated.view()), 4), std::string(4, '\0'));
    }
    EXPECT_EQ(read_bytes(file), std::string(4, '\0'));
}

TEST(MappedFile, FilesOfFourGibibytesOrMoreAreNotMapped)
{
    temp_folder root;
    path file = root / L"huge.bin";
    {
        // Sparse on the host's file system: no disk space is taken.
        HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size;
        size.QuadPart = (5LL << 30) + 4096;
        bool grown = SetFilePointerEx(handle, size, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
        CloseHandle(handle);
        if (!grown)
            GTEST_SKIP() << "no room for a sparse 5 GiB file";
    }
    // Its low 32 bits alone would describe a 1 GiB file.
    mapped_file huge(file, mapped_file_read);
    EXPECT_EQ(huge.view(), nullptr);
    EXPECT_EQ(huge.size(), 0u);
}
