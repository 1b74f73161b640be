#include "toolkit/platform/chunk_file.h"

#include "toolkit/platform/atomic_write.h"
#include "toolkit/platform/directory_listing.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace qzsdk;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

namespace {

const std::string magic("QZCHF\0\0\1", 8);

std::string record(uint32_t type, const std::string& payload)
{
    std::string bytes(reinterpret_cast<const char*>(&type), 4);
    uint32_t length = static_cast<uint32_t>(payload.size());
    bytes.append(reinterpret_cast<const char*>(&length), 4);
    return bytes + payload;
}

std::string le32(uint32_t value)
{
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

std::vector<std::pair<uint32_t, std::string>> records_of(const path& file)
{
    std::vector<std::pair<uint32_t, std::string>> seen;
    chunk_file reader(file, chunk_file_read);
    while (uint32_t type = reader.next_chunk())
        seen.emplace_back(type, std::string(reinterpret_cast<const char*>(reader.chunk_data()), reader.chunk_length()));
    return seen;
}

size_t files_in(const path& folder)
{
    size_t count = 0;
    for (const directory_entry& entry : directory_listing{folder, 0})
        count += entry.is_folder ? 0 : 1;
    return count;
}

}  // namespace

TEST(ChunkFile, WritesExactBytesAndReadsThemBack)
{
    temp_folder root;
    path file = root / L"effects_settings";
    {
        chunk_file writer(file, chunk_file_write);
        uint32_t number = 0x01020304;
        std::string empty;
        writer.serialize_u32(1, number);
        writer.serialize_string(2, empty);
        writer.write_chunk(3, "hello", 5);
        EXPECT_EQ(writer.size(), 41u);
        EXPECT_TRUE(writer.close());
    }
    std::string expected = magic + record(1, "\x04\x03\x02\x01") + record(2, "") + record(3, "hello");
    EXPECT_EQ(read_bytes(file), expected);

    chunk_file reader(file, chunk_file_read);
    uint32_t number = 0;
    std::string text = "unchanged";
    EXPECT_TRUE(reader.serialize_u32(1, number));
    EXPECT_EQ(number, 0x01020304u);
    EXPECT_TRUE(reader.serialize_string(2, text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(reader.serialize_u32(9, number));

    chunk_file measure(root / L"never_written", chunk_file_measure);
    measure.write_chunk(1, "abcd", 4);
    measure.write_chunk(2, "", 0);
    measure.write_chunk(3, "hello", 5);
    EXPECT_EQ(measure.size(), 41u);
}

TEST(ChunkFile, LastRecordOfATypeWinsThenTheOneBeforeIt)
{
    temp_folder root;
    path file = root / L"twice";
    {
        chunk_file writer(file, chunk_file_write);
        for (uint32_t value : {1u, 2u})
            writer.serialize_u32(7, value);
        int64_t big = -5'000'000'000LL;
        writer.serialize_i64(8, big);
    }
    chunk_file reader(file, chunk_file_read);
    uint32_t value = 0;
    EXPECT_TRUE(reader.serialize_u32(7, value));
    EXPECT_EQ(value, 2u);
    EXPECT_TRUE(reader.serialize_u32(7, value));
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(reader.serialize_u32(7, value));
    EXPECT_EQ(value, 1u);
    int64_t big = 0;
    EXPECT_TRUE(reader.serialize_i64(8, big));
    EXPECT_EQ(big, -5'000'000'000LL);
}

TEST(ChunkFile, HeadersDecideWhetherThereAreRecords)
{
    temp_folder root;
    write_bytes(root / L"older", std::string("QZCFH\0\0\1", 8) + record(5, "x"));
    EXPECT_EQ(records_of(root / L"older"), (std::vector<std::pair<uint32_t, std::string>>{{5, "x"}}));
    write_bytes(root / L"only_magic", magic);
    EXPECT_TRUE(records_of(root / L"only_magic").empty());
    write_bytes(root / L"foreign", std::string("QZCHG\0\0\1", 8) + record(5, "x"));
    EXPECT_TRUE(records_of(root / L"foreign").empty());
    write_bytes(root / L"short", "QZCH");
    EXPECT_TRUE(records_of(root / L"short").empty());
    EXPECT_TRUE(records_of(root / L"missing").empty());

    // A writer that writes nothing leaves eight zero bytes, which read as empty.
    { chunk_file writer(root / L"nothing", chunk_file_write); }
    EXPECT_EQ(read_bytes(root / L"nothing"), std::string(8, '\0'));
    EXPECT_TRUE(records_of(root / L"nothing").empty());
}

TEST(ChunkFile, DamagedTailsEndTheRecordsAndKeepEarlierOnes)
{
    temp_folder root;
    std::string good = magic + record(1, le32(42)) + record(3, std::string("text\0junk", 9));
    write_bytes(root / L"straddling", good + std::string("\x02\0\0\0\x04", 5));
    write_bytes(root / L"too_long", good + le32(2) + le32(0x7fffffff) + "abc");
    write_bytes(root / L"overflowing", good + le32(2) + le32(0xfffffff9) + "abc");
    std::vector<std::pair<uint32_t, std::string>> expected{{1, le32(42)},
                                                           {3, std::string("text\0junk", 9)}};
    for (const wchar_t* name : {L"straddling", L"too_long", L"overflowing"}) {
        EXPECT_EQ(records_of(root / name), expected) << name;
        chunk_file reader(root / name, chunk_file_read);
        uint32_t value = 0;
        EXPECT_FALSE(reader.serialize_u32(2, value));
        EXPECT_TRUE(reader.serialize_u32(1, value));
        EXPECT_EQ(value, 42u);
    }

    chunk_file reader(root / L"straddling", chunk_file_read);
    reader.next_chunk();
    reader.next_chunk();
    EXPECT_EQ(reader.chunk_text(), "text");

    // A number record too short for its value is passed over for the one before it.
    write_bytes(root / L"short_number", magic + record(1, le32(7)) + record(1, "\x09"));
    chunk_file numbers(root / L"short_number", chunk_file_read);
    uint32_t value = 0;
    EXPECT_TRUE(numbers.serialize_u32(1, value));
    EXPECT_EQ(value, 7u);
}

TEST(ChunkFile, AFailedOrUnfinishedWriteKeepsTheOldFile)
{
    temp_folder root;
    path file = root / L"effects_settings";
    std::string old_bytes = magic + record(1, le32(1));
    write_bytes(file, old_bytes);
    {
        chunk_file writer(file, chunk_file_write);
        uint32_t value = 2;
        writer.serialize_u32(1, value);
        // Until the writer finishes, the old file is whole.
        EXPECT_EQ(read_bytes(file), old_bytes);

        // A folder in place of the target cannot be replaced by a file.
        chunk_file blocked(root.get(), chunk_file_write);
        blocked.serialize_u32(1, value);
        EXPECT_FALSE(blocked.close());
    }
    EXPECT_EQ(read_bytes(file), magic + record(1, le32(2)));

    // The target held open by someone else without sharing: the rename fails and the file stays as it was.
    HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    bool replaced = write_file_atomically(file, "new");
    CloseHandle(holder);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(read_bytes(file), magic + record(1, le32(2)));
    EXPECT_FALSE(write_file_atomically(root / L"no\\such\\folder", "x"));
    EXPECT_FALSE(write_file_atomically(path(), "x"));
    // No temporary file is left behind, whatever happened.
    EXPECT_EQ(files_in(root.get()), 1u);

    // A crashed writer's temporaries go at the next successful write; this process's own (a write in
    // progress) and names of another shape stay.
    const path stale = root / L"effects_settings.~99999996_3.tmp";
    const path own(file.wide() + L".~" + std::to_wstring(GetCurrentProcessId()) + L"_999.tmp");
    const path other = root / L"effects_settings.~backup.tmp";
    for (const path& leftover : {stale, own, other})
        write_bytes(leftover, "partial");
    EXPECT_TRUE(write_file_atomically(file, "new"));
    EXPECT_EQ(read_bytes(stale), "<missing>");
    EXPECT_EQ(read_bytes(own) + read_bytes(other), "partialpartial");
}
