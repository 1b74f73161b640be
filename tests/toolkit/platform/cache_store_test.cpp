#include "toolkit/platform/cache_store.h"

#include "tests/support/temp_folder.h"
#include "toolkit/platform/file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using namespace qzsdk;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

namespace {

struct slot_view {
    std::string key;
    uint64_t offset, size;
    double last_use, stored;
    uint64_t index;
    uint32_t in_use, reserved;
};

template <typename T>
T field(const std::string& bytes, size_t offset)
{
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

template <typename T>
void set_field(std::string& bytes, size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

slot_view slot_at(const std::string& directory, size_t index)
{
    size_t at = 24 + 200 * index;
    return {std::string(directory.c_str() + at), field<uint64_t>(directory, at + 152), field<uint64_t>(directory, at + 160),
            field<double>(directory, at + 168), field<double>(directory, at + 176), field<uint64_t>(directory, at + 184),
            field<uint32_t>(directory, at + 192), field<uint32_t>(directory, at + 196)};
}

std::string blob_bytes(size_t size, char seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 7);
    return bytes;
}

// One store object per step, as the program uses them, on files in a fresh folder.
struct store_files {
    temp_folder root;
    path data = root / L"effects_cache";
    path directory = root / L"effects_cache.header";

    void put(const std::string& name, const std::string& bytes)
    {
        cache_store store;
        store.open(data);
        store.store(name, bytes.size(), bytes.data());
    }
    // The blob's bytes, or "<miss>".
    std::string get(const std::string& name)
    {
        cache_store store;
        store.open(data);
        cache_store::blob found = store.find(name);
        return found.data ? std::string(reinterpret_cast<const char*>(found.data), found.size) : "<miss>";
    }
    // The slot holding a name, or an empty one.
    slot_view slot_of(const std::string& name)
    {
        std::string bytes = read_bytes(directory);
        for (size_t index = 0; 24 + 200 * (index + 1) <= bytes.size(); ++index)
            if (slot_at(bytes, index).in_use && slot_at(bytes, index).key == cache_store::key_for(name))
                return slot_at(bytes, index);
        return {};
    }
    void patch_directory(size_t offset, const std::string& bytes)
    {
        std::string directory_bytes = read_bytes(directory);
        directory_bytes.replace(offset, bytes.size(), bytes);
        write_bytes(directory, directory_bytes);
    }
    void set_max_data_size(uint64_t size) { patch_directory(8, std::string(reinterpret_cast<char*>(&size), 8)); }
};

}  // namespace

TEST(CacheStore, AFirstStoreCreatesBothFilesAndTheBlobSurvivesReopening)
{
    store_files files;
    std::string a = blob_bytes(100, 'a');
    files.put("C:\\shots\\one.png", a);

    std::string directory = read_bytes(files.directory);
    ASSERT_EQ(directory.size(), 10024u);
    EXPECT_EQ(directory.substr(0, 8), std::string("QZMPC\0\0\0", 8));
    EXPECT_EQ(field<uint64_t>(directory, 8), 524288000u);
    EXPECT_EQ(field<uint64_t>(directory, 16), 50u);
    EXPECT_EQ(get_file_info(files.data).size, 5242880u);
    slot_view slot = slot_at(directory, 0);
    EXPECT_EQ(slot.key, cache_store::key_for("C:\\shots\\one.png"));
    EXPECT_EQ((std::vector<uint64_t>{slot.offset, slot.size, slot.index, slot.in_use, slot.reserved}),
              (std::vector<uint64_t>{0, 100, 0, 1, 0}));
    EXPECT_EQ(slot.last_use, slot.stored);
    EXPECT_NEAR(slot.stored / 1e6, static_cast<double>(time(nullptr)), 5.0);
    EXPECT_EQ(read_bytes(files.data).substr(0, 100), a);

    EXPECT_EQ(files.get("C:\\shots\\one.png"), a);
    EXPECT_GT(files.slot_of("C:\\shots\\one.png").last_use, slot.last_use);  // a find is a use
    EXPECT_EQ(files.get("C:\\shots\\two.png"), "<miss>");
}

TEST(CacheStore, KeysAreTheNamesTailAndTheHashOfTheWholeName)
{
    EXPECT_EQ(cache_store::key_for("a"), "a12638187200555641996");  // FNV-1a 64 of "a" is 0xaf63bd4c8601b7be
    const std::string tail(128, 't'), first = std::string(72, 'x') + tail, second = std::string(72, 'y') + tail;
    EXPECT_EQ(cache_store::key_for(first).substr(0, 128), tail);
    EXPECT_NE(cache_store::key_for(first), cache_store::key_for(second));
}

TEST(CacheStore, FreedSpaceIsReusedFirstFitAndSlotsAreReused)
{
    store_files files;
    files.put("A", blob_bytes(100, 'a'));
    files.put("B", blob_bytes(50, 'b'));
    files.put("A", blob_bytes(30, 'c'));  // replaces A in the slot and at the place it freed
    files.put("C", blob_bytes(80, 'd'));  // the gap [30, 100) is too small
    files.put("D", blob_bytes(70, 'e'));  // fits the gap exactly
    EXPECT_EQ((std::vector<uint64_t>{files.slot_of("A").offset, files.slot_of("A").index, files.slot_of("B").offset,
                                     files.slot_of("C").offset, files.slot_of("D").offset}),
              (std::vector<uint64_t>{0, 0, 100, 150, 30}));
    EXPECT_EQ(files.get("A"), blob_bytes(30, 'c'));
    EXPECT_EQ(files.get("D"), blob_bytes(70, 'e'));
}

TEST(CacheStore, TheFilesGrowInTheirStepsAndFoundBytesCanBeStoredAgain)
{
    store_files files;
    cache_store store;
    store.open(files.data);
    for (int i = 0; i < 51; ++i)
        store.store("blob " + std::to_string(i), 10, "0123456789");
    std::string big = blob_bytes(6 * 1024 * 1024, 'g');  // passes the first 5 MiB
    store.store("big", big.size(), big.data());
    cache_store::blob found = store.find("big");
    store.store("copy", found.size, found.data);  // the view moves while storing
    store.close();

    std::string directory = read_bytes(files.directory);
    EXPECT_EQ(directory.size(), 12024u);
    EXPECT_EQ(field<uint64_t>(directory, 16), 60u);
    EXPECT_EQ(files.slot_of("blob 50").index, 50u);
    EXPECT_EQ(get_file_info(files.data).size, 5242880u + 10485760u);
    EXPECT_EQ(files.get("copy"), big);
}

TEST(CacheStore, TheLeastRecentlyUsedBlobsAreEvictedAndAnOversizedOneIsRefused)
{
    store_files files;
    files.put("A", blob_bytes(300, 'a'));
    files.set_max_data_size(1000);  // read back at every load
    files.put("B", blob_bytes(300, 'b'));
    files.put("C", blob_bytes(300, 'c'));
    EXPECT_EQ(files.get("A"), blob_bytes(300, 'a'));  // now B is the oldest use
    files.put("D", blob_bytes(300, 'd'));
    EXPECT_EQ(files.get("B"), "<miss>");
    EXPECT_EQ(files.slot_of("D").offset, 300u);
    files.put("huge", blob_bytes(1001, 'h'));
    EXPECT_EQ(files.get("huge"), "<miss>");
    for (const char* kept : {"A", "C", "D"})
        EXPECT_EQ(files.get(kept), blob_bytes(300, kept[0] + 32)) << kept;
}

TEST(CacheStore, IgnoredCallsAndFilesThatCannotBeMadeOrOpened)
{
    store_files files;
    cache_store store;
    store.store("A", 1, "x");  // not opened
    store.open(files.data);
    store.store("", 1, "x");
    store.store("A", 0, "x");
    store.store("A", 1, nullptr);
    EXPECT_EQ(store.find("").data, nullptr);
    EXPECT_EQ(store.find("A").data, nullptr);
    store.close();

    cache_store nowhere;
    nowhere.open(files.root / L"no_such_folder\\effects_cache");
    nowhere.store("A", 1, "x");
    EXPECT_EQ(nowhere.find("A").data, nullptr);
    EXPECT_FALSE(get_file_info(files.root / L"no_such_folder").exists);
    nowhere.close();
    nowhere.open(files.data);  // usable again once closed
    nowhere.store("B", 1, "y");
    EXPECT_NE(nowhere.find("B").data, nullptr);
    nowhere.close();

    // Files that exist but cannot be opened fail for the session and are left as they are.
    for (const path& locked : {files.data, files.directory}) {
        HANDLE held = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(files.get("B"), "<miss>");
        files.put("C", "z");
        CloseHandle(held);
        EXPECT_EQ(files.get("B"), "y");
    }

    nowhere.open(files.data);
    nowhere.clear();
    EXPECT_FALSE(get_file_info(files.data).exists);
    EXPECT_FALSE(get_file_info(files.directory).exists);
}

TEST(CacheStore, AnUnusableDirectoryHeaderStartsTheStoreAnew)
{
    for (auto damage : {+[](std::string& d) { d[0] = 'X'; },             // magic
                        +[](std::string& d) { d.resize(10000); },        // shorter than its 50 slots
                        +[](std::string& d) { d.resize(12); },           // shorter than the header
                        +[](std::string& d) { set_field<uint64_t>(d, 16, ~0ull); },
                        +[](std::string& d) { set_field<uint64_t>(d, 8, 0); },
                        +[](std::string& d) { set_field<uint64_t>(d, 8, 1ull << 40); }}) {
        store_files files;
        files.put("A", "old bytes");
        std::string directory = read_bytes(files.directory);
        damage(directory);
        write_bytes(files.directory, directory);
        EXPECT_EQ(files.get("A"), "<miss>");
        EXPECT_EQ(read_bytes(files.directory).size(), 10024u);
        EXPECT_EQ(get_file_info(files.data).size, 5242880u);
        files.put("B", "new");
        EXPECT_EQ(files.get("B"), "new");
    }
    store_files empty_data;
    empty_data.put("A", "old bytes");
    write_bytes(empty_data.data, "");
    EXPECT_EQ(empty_data.get("A"), "<miss>");
}

TEST(CacheStore, DamagedSlotsAreDroppedAndTheSoundOnesKept)
{
    store_files files;
    for (const char* name : {"good", "past end", "no terminator", "wrong index", "overlap", "twin", "nan"})
        files.put(name, blob_bytes(100, name[0]));
    auto at = [&](const char* name) { return 24 + 200 * files.slot_of(name).index; };
    size_t past_end = at("past end"), no_terminator = at("no terminator"), wrong_index = at("wrong index"),
           overlap = at("overlap"), twin = at("twin"), nan = at("nan");
    std::string directory = read_bytes(files.directory);
    set_field<uint64_t>(directory, past_end + 152, 5242880 - 50);
    std::memset(directory.data() + no_terminator, 'k', 152);
    set_field<uint64_t>(directory, wrong_index + 184, 3000);
    set_field<uint64_t>(directory, overlap + 152, 50);  // inside "good" at 0
    directory.replace(twin, 152, directory.substr(at("good"), 152));
    set_field<uint64_t>(directory, twin + 152, 4000);
    set_field<double>(directory, nan + 168, std::numeric_limits<double>::quiet_NaN());
    write_bytes(files.directory, directory);

    EXPECT_EQ(files.get("good"), blob_bytes(100, 'g'));
    for (const char* name : {"past end", "no terminator", "wrong index", "overlap", "nan"})
        EXPECT_EQ(files.get(name), "<miss>") << name;
    // The dropped slots are free again, and their space too.
    std::string reloaded = read_bytes(files.directory);
    for (size_t slot : {past_end, no_terminator, wrong_index, overlap, twin, nan})
        EXPECT_EQ(reloaded.substr(slot, 200), std::string(200, '\0'));
    files.put("late", blob_bytes(100, 'l'));
    EXPECT_EQ(files.get("late"), blob_bytes(100, 'l'));
    EXPECT_EQ(files.get("good"), blob_bytes(100, 'g'));
}

