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

// A field as the little-endian targets store it.
template <typename Number>
std::string bytes_of(Number value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
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
        std::string header = "qz^\x1A" + bytes_of(static_cast<uint32_t>(folders.size()));
        for (const std::string& folder : folders)
            header += bytes_of(static_cast<uint32_t>(folder.size())) + folder;
        header += bytes_of(static_cast<uint32_t>(files.size()));
        size_t offset = header.size();
        for (const file& f : files)
            offset += 32 + f.name.size();
        std::string data;
        for (const file& f : files) {
            header += bytes_of(static_cast<uint32_t>(f.name.size())) + f.name + bytes_of(f.size) +
                      bytes_of(static_cast<uint32_t>(f.stream.size())) +
                      bytes_of(static_cast<uint32_t>(offset + data.size())) + bytes_of(f.created) +
                      bytes_of(f.modified);
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
    result unpack(const std::string& bytes, const unpack_limits& limits = {})
    {
        write_bytes(archive, bytes);
        return folder_archive::unpack(archive, destination, limits);
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

TEST(FolderArchive, PacksWhatUnpackReadsBackWithTheTimesAndOnlyFoldersHoldingFiles)
{
    temp_folder root;
    path source = root / L"source";
    make_folder(source.join(L"only_empty\\inner"));
    make_folder(source.join(L"Caf\u00e9"));
    std::string big = pattern(70000);  // several 16 KiB pieces each way
    write_bytes(source.join(L"a.txt"), "alpha alpha alpha");
    write_bytes(source.join(L"Caf\u00e9\\b \u00fc.bin"), big);
    write_bytes(source.join(L"empty.txt"), "");
    ASSERT_TRUE(set_file_times(source.join(L"a.txt"), 1'000'000'000, 1'100'000'000));

    ASSERT_EQ(folder_archive::pack(source, root / L"out.zqs"), result::ok);
    std::string bytes = read_bytes(root / L"out.zqs");
    EXPECT_EQ(bytes.substr(0, 8), std::string("qz^\x1A\1\0\0\0", 8));  // one folder: the one with a file
    path copy = root / L"copy";
    make_folder(copy);
    ASSERT_EQ(folder_archive::unpack(root / L"out.zqs", copy), result::ok);
    EXPECT_EQ(tree(copy), (std::map<std::wstring, std::string>{{L"a.txt", "alpha alpha alpha"},
                                                               {L"Caf\u00e9", "<folder>"},
                                                               {L"Caf\u00e9\\b \u00fc.bin", big},
                                                               {L"empty.txt", ""}}));
    EXPECT_EQ(get_file_info(copy.join(L"a.txt")).modified, 1'100'000'000);
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
    EXPECT_EQ(test.unpack("qz^\x1A" + bytes_of(0xFFFFFFFFu)), result::bad_folder_record);
    EXPECT_EQ(test.unpack("qz^\x1A" + bytes_of(0u) + bytes_of(0x10000000u) + std::string(100, 'x')),
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
    const std::string bytes = good.bytes();
    const size_t second_data = bytes.size() - good.files[1].stream.size();
    const size_t second_record = 4 + 4 + 4 + (32 + 9);
    const size_t size_field = second_record + 4 + 10;
    auto changed = [&bytes](size_t at, const char* with, size_t length) {
        std::string copy = bytes;
        copy.replace(at, length, with, length);
        return copy;
    };
    auto flipped = [&bytes](size_t at, char mask) {
        std::string copy = bytes;
        copy[at] ^= mask;
        return copy;
    };
    auto resized = [good](uint32_t size, size_t stream_cut) {
        archive_builder copy = good;
        copy.files[1].size = size;
        copy.files[1].stream.resize(copy.files[1].stream.size() - stream_cut);
        return copy.bytes();
    };
    archive_builder no_stream = good;
    no_stream.files[1] = {"second.bin", "", 0};  // a hand-made empty file: no data, no times

    // Records are checked before anything is made; data only while its file is written.
    struct {
        std::string archive;
        result expected;
        size_t files_left;
    } cases[] = {
        {changed(second_data, "\x55", 1), result::stream_failed, 1},  // not a zlib header
        {flipped(second_data + 5000, 0x5A), result::stream_failed, 1},
        {flipped(bytes.size() - 1, 1), result::stream_failed, 1},  // checksum
        {resized(49999, 0), result::size_mismatch, 1},
        {resized(50001, 0), result::size_mismatch, 1},
        {resized(50000, 10), result::data_truncated, 1},
        {changed(size_field, "\xFF\xFF\xFF\xFF", 4), result::size_mismatch, 0},      // a bomb
        {changed(size_field + 8, "\xF0\xFF\xFF\xFF", 4), result::data_truncated, 0},  // data past the end
        {changed(second_record, "\xF0\xFF\xFF\x7F", 4), result::bad_file_record, 0},  // a name past the end
        {no_stream.bytes(), result::ok, 2},
    };
    for (const auto& test : cases) {
        unpack_case unpacked;
        EXPECT_EQ(unpacked.unpack(test.archive), test.expected);
        auto left = tree(unpacked.destination);
        ASSERT_EQ(left.size(), test.files_left);
        EXPECT_EQ(left.empty() ? std::string("kept") : left.begin()->second, "kept");
        EXPECT_TRUE(unpacked.nothing_outside_destination());
        EXPECT_TRUE(test.expected != result::ok ||
                    get_file_info(unpacked.destination.join(L"second.bin")).modified != 1'600'000'000);
    }
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

TEST(FolderArchive, LimitsRefuseOtherNamesFoldersRepeatsAndSizesBeforeAnythingIsMade)
{
    const unpack_limits limits{{"a.txt", "b.txt"}, 100, 150};
    archive_builder thousands;
    for (int i = 0; i < 5000; ++i)
        thousands.add("a.txt", "a");
    struct {
        const char* what;
        archive_builder archive;
        result expected;
    } cases[] = {
        {"as expected", archive_builder().add("b.txt", "b").add("a.txt", std::string(100, 'a')), result::ok},
        {"another name", archive_builder().add("a.txt", "a").add("c.txt", "c"), result::not_accepted},
        {"a folder", archive_builder().folder("sub").add("a.txt", "a"), result::not_accepted},
        {"thousands of one name", thousands, result::not_accepted},
        {"a file too large", archive_builder().add("a.txt", std::string(101, 'a')), result::not_accepted},
        {"too much in all", archive_builder().add("a.txt", std::string(100, 'a')).add("b.txt", std::string(51, 'b')),
         result::not_accepted},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        unpack_case unpacked;
        EXPECT_EQ(unpacked.unpack(test.archive.bytes(), limits), test.expected);
        EXPECT_EQ(unpacked.nothing_created(), test.expected != result::ok);
    }
}
