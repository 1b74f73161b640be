#include "toolkit/platform/folder_archive.h"

#include "tests/support/temp_folder.h"
#include "toolkit/platform/directory_listing.h"
#include "toolkit/platform/file_system.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace qzsdk;
using qzsdk::test::make_folder;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;
using result = folder_archive_result;

namespace {

uint32_t u32_at(const std::string& bytes, size_t offset)
{
    uint32_t value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

std::string u32_bytes(uint32_t value)
{
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

std::string i64_bytes(int64_t value)
{
    return std::string(reinterpret_cast<const char*>(&value), 8);
}

std::string zlib_stream(const std::string& content)
{
    uLongf size = compressBound(content.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(content.data()),
              content.size(), 9);
    out.resize(size);
    return out;
}

std::string inflated(const std::string& stream, size_t size)
{
    std::string out(size, '\0');
    uLongf out_size = size;
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &out_size,
                         reinterpret_cast<const Bytef*>(stream.data()), stream.size()),
              Z_OK);
    return out;
}

// Writes archives by hand, hostile ones included.
struct archive_builder {
    struct file {
        std::string name;
        std::string stream;
        uint32_t size;
        int64_t created = 1'500'000'000;
        int64_t modified = 1'600'000'000;
    };
    std::vector<std::string> folders;
    std::vector<file> files;

    archive_builder& folder(std::string name)
    {
        folders.push_back(std::move(name));
        return *this;
    }
    archive_builder& add(std::string name, const std::string& content)
    {
        files.push_back({std::move(name), zlib_stream(content), static_cast<uint32_t>(content.size())});
        return *this;
    }
    std::string bytes() const
    {
        std::string header = "qz^\x1A" + u32_bytes(static_cast<uint32_t>(folders.size()));
        for (const std::string& folder : folders)
            header += u32_bytes(static_cast<uint32_t>(folder.size())) + folder;
        header += u32_bytes(static_cast<uint32_t>(files.size()));
        size_t offset = header.size();
        for (const file& f : files)
            offset += 32 + f.name.size();
        std::string data;
        for (const file& f : files) {
            header += u32_bytes(static_cast<uint32_t>(f.name.size())) + f.name + u32_bytes(f.size) +
                      u32_bytes(static_cast<uint32_t>(f.stream.size())) +
                      u32_bytes(static_cast<uint32_t>(offset + data.size())) + i64_bytes(f.created) +
                      i64_bytes(f.modified);
            data += f.stream;
        }
        return header + data;
    }
};

// Every path under a folder, with file contents ("<folder>" for folders).
std::map<std::wstring, std::string> tree(const path& folder)
{
    std::map<std::wstring, std::string> found;
    for (const directory_entry& entry : directory_listing{folder, 1}) {
        std::wstring name = entry.relative_path.file_name().wide();
        if (name != L"." && name != L"..")
            found[entry.relative_path.wide()] =
                entry.is_folder ? "<folder>" : read_bytes(folder.join(entry.relative_path));
    }
    return found;
}

struct unpack_case {
    temp_folder root;
    path archive = root / L"in.zqs";
    path destination = root / L"sandbox\\dest";

    unpack_case() { make_folder(destination); }
    result unpack(const std::string& bytes)
    {
        write_bytes(archive, bytes);
        return folder_archive::unpack(archive, destination);
    }
    // Nothing may ever appear beside the destination, whatever the archive said.
    bool nothing_outside_destination()
    {
        for (auto& [name, content] : tree(root / L"sandbox"))
            if (name != L"dest" && !name.starts_with(L"dest\\"))
                return false;
        return true;
    }
    bool nothing_created() { return nothing_outside_destination() && tree(destination).empty(); }
};

std::string pattern(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245 + 12345;
        bytes[i] = static_cast<char>(i % 3 == 0 ? state >> 24 : 'a' + i % 7);
    }
    return bytes;
}

}  // namespace

TEST(FolderArchive, AnEmptyFolderPacksToTheMagicAndTwoZeroCounts)
{
    temp_folder root;
    make_folder(root / L"empty");
    ASSERT_EQ(folder_archive::pack(root / L"empty", root / L"out.zqs"), result::ok);
    EXPECT_EQ(read_bytes(root / L"out.zqs"), std::string("qz^\x1A\0\0\0\0\0\0\0\0", 12));
}

TEST(FolderArchive, PacksTheDocumentedLayoutAndUnpacksIdenticalFilesWithTheirTimes)
{
    temp_folder root;
    path source = root / L"source";
    make_folder(source.join(L"sub"));
    make_folder(source.join(L"only_empty\\inner"));
    std::string a = "alpha alpha alpha";
    std::string b = pattern(70000);  // several 16 KiB pieces each way
    write_bytes(source.join(L"a.txt"), a);
    write_bytes(source.join(L"sub\\b.txt"), b);
    ASSERT_TRUE(set_file_times(source.join(L"a.txt"), 1'000'000'000, 1'100'000'000));
    ASSERT_TRUE(set_file_times(source.join(L"sub\\b.txt"), 1'200'000'000, 1'300'000'000));

    ASSERT_EQ(folder_archive::pack(source, root / L"out.zqs"), result::ok);
    std::string bytes = read_bytes(root / L"out.zqs");
    ASSERT_GE(bytes.size(), 97u);
    EXPECT_EQ(bytes.substr(0, 4), "qz^\x1A");
    EXPECT_EQ(u32_at(bytes, 4), 1u);
    EXPECT_EQ(bytes.substr(8, 7), std::string("\3\0\0\0sub", 7));
    EXPECT_EQ(u32_at(bytes, 15), 2u);
    EXPECT_EQ(bytes.substr(19, 9), std::string("\5\0\0\0a.txt", 9));
    EXPECT_EQ(u32_at(bytes, 28), a.size());
    uint32_t a_compressed = u32_at(bytes, 32);
    EXPECT_EQ(u32_at(bytes, 36), 97u);
    // Wine keeps no creation time of its own: compare with what the system reports.
    EXPECT_EQ(bytes.substr(40, 16), i64_bytes(get_file_info(source.join(L"a.txt")).created) + i64_bytes(1'100'000'000));
    EXPECT_EQ(bytes.substr(56, 13), std::string("\11\0\0\0sub\\b.txt", 13));
    EXPECT_EQ(u32_at(bytes, 69), b.size());
    uint32_t b_compressed = u32_at(bytes, 73);
    EXPECT_EQ(u32_at(bytes, 77), 97u + a_compressed);
    EXPECT_EQ(bytes.size(), 97u + a_compressed + b_compressed);
    EXPECT_EQ(inflated(bytes.substr(97, a_compressed), a.size()), a);
    EXPECT_EQ(inflated(bytes.substr(97 + a_compressed), b.size()), b);

    path copy = root / L"copy";
    make_folder(copy);
    ASSERT_EQ(folder_archive::unpack(root / L"out.zqs", copy), result::ok);
    EXPECT_EQ(tree(copy), (std::map<std::wstring, std::string>{{L"a.txt", a}, {L"sub", "<folder>"}, {L"sub\\b.txt", b}}));
    EXPECT_EQ(get_file_info(copy.join(L"sub\\b.txt")).modified, 1'300'000'000);
}

TEST(FolderArchive, EmptyFilesAndNonAsciiNamesRoundTrip)
{
    temp_folder root;
    path source = root / L"source";
    make_folder(source.join(L"Caf\u00e9"));
    write_bytes(source.join(L"Caf\u00e9\\na\u00efve \u00fc.txt"), "");
    ASSERT_EQ(folder_archive::pack(source, root / L"out.zqs"), result::ok);
    std::string bytes = read_bytes(root / L"out.zqs");
    std::string name = path(L"Caf\u00e9\\na\u00efve \u00fc.txt").to_utf8();
    size_t record = 4 + 4 + (4 + 5) + 4 + (4 + name.size());
    EXPECT_EQ(u32_at(bytes, record), 0u);      // size
    EXPECT_EQ(u32_at(bytes, record + 4), 8u);  // header, empty final block, checksum

    path copy = root / L"copy";
    make_folder(copy);
    ASSERT_EQ(folder_archive::unpack(root / L"out.zqs", copy), result::ok);
    EXPECT_EQ(tree(copy), tree(source));
    EXPECT_EQ(get_file_info(copy.join(L"Caf\u00e9\\na\u00efve \u00fc.txt")).modified,
              get_file_info(source.join(L"Caf\u00e9\\na\u00efve \u00fc.txt")).modified);
}

TEST(FolderArchive, AHandMadeRecordWithoutDataIsAnEmptyFileWithoutTimes)
{
    unpack_case test;
    archive_builder archive;
    archive.files.push_back({"empty.txt", "", 0});
    ASSERT_EQ(test.unpack(archive.bytes()), result::ok);
    EXPECT_EQ(read_bytes(test.destination.join(L"empty.txt")), "");
    EXPECT_NE(get_file_info(test.destination.join(L"empty.txt")).modified, 1'600'000'000);
}

TEST(FolderArchive, HeadersThatAreShortOrNotOursAreRefused)
{
    unpack_case test;
    EXPECT_EQ(folder_archive::unpack(test.root / L"missing.zqs", test.destination), result::open_failed);
    EXPECT_EQ(test.unpack(std::string("qz^\x1B\0\0\0\0\0\0\0\0", 12)), result::bad_magic);
    EXPECT_EQ(test.unpack("qz^"), result::bad_magic);
    EXPECT_EQ(test.unpack(""), result::bad_magic);
    EXPECT_EQ(test.unpack("qz^\x1A"), result::ok);
    // Counts larger than the bytes that follow could hold are refused before anything is read or made.
    EXPECT_EQ(test.unpack("qz^\x1A" + u32_bytes(0xFFFFFFFF)), result::bad_folder_record);
    EXPECT_EQ(test.unpack("qz^\x1A" + u32_bytes(0) + u32_bytes(0x10000000) + std::string(100, 'x')),
              result::bad_file_record);
    EXPECT_TRUE(test.nothing_created());
}

TEST(FolderArchive, NamesThatLeaveTheDestinationOrAreNoPlainFileNamesAreRefused)
{
    for (const char* hostile : {"..\\evil.txt", "a\\..\\..\\evil.txt", "a/../../evil.txt", "..", ".", "C:\\evil.txt",
                                "C:evil.txt", "\\evil.txt", "/evil.txt", "\\\\server\\share\\evil.txt", "a.txt:stream",
                                "a.txt::$DATA", "...", "evil. ", "CON", "nul.txt", "com1", "a\\\\b.txt", "sub\\",
                                "tab\there", "wild*.txt", "bad\xff\xfe.txt", ""}) {
        SCOPED_TRACE(hostile);
        unpack_case test;
        EXPECT_EQ(test.unpack(archive_builder().add("good.txt", "fine").add(hostile, "evil").bytes()),
                  result::bad_file_record);
        EXPECT_EQ(test.unpack(archive_builder().folder(hostile).add("good.txt", "fine").bytes()),
                  result::bad_folder_record);
        // Checked before anything is made: not even the good file appears.
        EXPECT_TRUE(test.nothing_created());
    }
}

TEST(FolderArchive, EveryTruncationIsAnErrorAndLeavesOnlyWholeFiles)
{
    std::string whole =
        archive_builder().folder("sub").add("first.bin", pattern(40000)).add("sub\\second.bin", pattern(30000)).bytes();
    for (size_t length = 5; length < whole.size(); length += (length < 200 || whole.size() - length < 200) ? 1 : 997) {
        SCOPED_TRACE(length);
        unpack_case test;
        result unpacked = test.unpack(whole.substr(0, length));
        ASSERT_NE(unpacked, result::ok);
        for (auto& [name, content] : tree(test.destination)) {
            if (name == L"sub")
                continue;
            ASSERT_EQ(name, L"first.bin");  // no leftover temporary file, no partial second file
            ASSERT_EQ(content, pattern(40000));
        }
        ASSERT_TRUE(test.nothing_outside_destination());
    }
}

TEST(FolderArchive, CorruptOrMisdescribedDataIsAnErrorWithoutAPartialFile)
{
    archive_builder good;
    good.add("first.txt", "kept").add("second.bin", pattern(50000));
    std::string bytes = good.bytes();
    size_t second_data = bytes.size() - good.files[1].stream.size();

    auto check = [](std::string archive, result expected) {
        unpack_case test;
        EXPECT_EQ(test.unpack(archive), expected);
        EXPECT_EQ(tree(test.destination), (std::map<std::wstring, std::string>{{L"first.txt", "kept"}}));
    };
    std::string corrupt = bytes;
    corrupt[second_data] = '\x55';  // not a zlib header
    check(corrupt, result::stream_failed);
    corrupt = bytes;
    corrupt[second_data + 5000] ^= 0x5A;
    check(corrupt, result::stream_failed);
    corrupt = bytes;
    corrupt[bytes.size() - 1] ^= 1;  // checksum
    check(corrupt, result::stream_failed);

    archive_builder smaller = good;
    smaller.files[1].size = 49999;
    check(smaller.bytes(), result::size_mismatch);
    archive_builder larger = good;
    larger.files[1].size = 50001;
    check(larger.bytes(), result::size_mismatch);
    archive_builder cut = good;
    cut.files[1].stream.resize(cut.files[1].stream.size() - 10);
    check(cut.bytes(), result::data_truncated);
}

TEST(FolderArchive, RecordsPointingPastTheEndOrClaimingAbsurdSizesCreateNothing)
{
    archive_builder good;
    good.add("first.txt", "kept").add("second.txt", "text");
    std::string bytes = good.bytes();
    size_t second_record = 4 + 4 + 4 + (32 + 9);
    size_t size_field = second_record + 4 + 10;

    unpack_case test;
    std::string bomb = bytes;
    std::memcpy(bomb.data() + size_field, "\xFF\xFF\xFF\xFF", 4);
    EXPECT_EQ(test.unpack(bomb), result::size_mismatch);
    std::string past_end = bytes;
    std::memcpy(past_end.data() + size_field + 8, "\xF0\xFF\xFF\xFF", 4);
    EXPECT_EQ(test.unpack(past_end), result::data_truncated);
    std::string long_name = bytes;
    std::memcpy(long_name.data() + second_record, "\xF0\xFF\xFF\x7F", 4);
    EXPECT_EQ(test.unpack(long_name), result::bad_file_record);
    EXPECT_TRUE(test.nothing_created());
}

TEST(FolderArchive, AReadOnlyFileInTheWayStopsAtThatFileAndStaysAsItWas)
{
    unpack_case test;
    write_bytes(test.destination.join(L"locked.txt"), "mine");
    SetFileAttributesW(test.destination.join(L"locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(test.unpack(archive_builder().add("a.txt", "A").add("locked.txt", "theirs").add("z.txt", "Z").bytes()),
              result::file_open_failed);
    EXPECT_EQ(read_bytes(test.destination.join(L"a.txt")), "A");
    EXPECT_EQ(read_bytes(test.destination.join(L"locked.txt")), "mine");
    EXPECT_EQ(read_bytes(test.destination.join(L"z.txt")), "<missing>");
    SetFileAttributesW(test.destination.join(L"locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FolderArchive, AFailedPackLeavesTheOlderArchiveUntouched)
{
    temp_folder root;
    path source = root / L"source";
    make_folder(source);
    write_bytes(source.join(L"a.txt"), "A");
    write_bytes(root / L"out.zqs", "older archive");
    // A file that another program holds open without sharing cannot be read.
    HANDLE held = CreateFileW(source.join(L"a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(folder_archive::pack(source, root / L"out.zqs"), result::file_open_failed);
    CloseHandle(held);
    EXPECT_EQ(read_bytes(root / L"out.zqs"), "older archive");
    EXPECT_EQ(tree(root.get()).size(), 3u);  // source, source\a.txt, out.zqs: no leftover
    EXPECT_EQ(folder_archive::pack(source, root / L"missing\\out.zqs"), result::open_failed);
}
