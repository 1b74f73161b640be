#include "toolkit/platform/cache_store.h"

#include "tests/support/temp_folder.h"
#include "toolkit/platform/file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace qzsdk;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

namespace {

// The directory file: a 24-byte header, then slots of 200 bytes.
constexpr size_t header_size = 24, slot_size = 200;
enum slot_field : size_t { offset_at = 152, size_at = 160, last_use_at = 168, stored_at = 176, index_at = 184, in_use_at = 192 };

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
    // Where in the directory file the slot holding a name starts, or 0.
    size_t slot_of(const std::string& name)
    {
        const std::string bytes = read_bytes(directory);
        for (size_t at = header_size; at + slot_size <= bytes.size(); at += slot_size)
            if (field<uint32_t>(bytes, at + in_use_at) && std::string(bytes.c_str() + at) == cache_store::key_for(name))
                return at;
        return 0;
    }
    template <typename T>
    T slot_field(const std::string& name, size_t which)
    {
        return field<T>(read_bytes(directory), slot_of(name) + which);
    }
    uint64_t offset_of(const std::string& name) { return slot_field<uint64_t>(name, offset_at); }
};

}  // namespace

TEST(CacheStore, BlobsSurviveReopeningInTheFileLayoutAndSpaceIsReusedOrGrown)
{
    store_files files;
    const std::string a = blob_bytes(100, 'a');
    files.put("C:\\shots\\one.png", a);
    const std::string directory = read_bytes(files.directory);
    ASSERT_EQ(directory.size(), 10024u);
    EXPECT_EQ(directory.substr(0, 24), std::string("QZMPC\0\0\0\0\0\x40\x1F\0\0\0\0\x32\0\0\0\0\0\0\0", 24));
    EXPECT_EQ(get_file_info(files.data).size, 5242880u);
    EXPECT_EQ(files.slot_of("C:\\shots\\one.png"), header_size);
    EXPECT_EQ((std::vector<uint64_t>{field<uint64_t>(directory, 24 + offset_at), field<uint64_t>(directory, 24 + size_at),
                                     field<uint64_t>(directory, 24 + index_at), field<uint32_t>(directory, 24 + 196)}),
              (std::vector<uint64_t>{0, 100, 0, 0}));
    const double stored = field<double>(directory, 24 + stored_at);
    EXPECT_NEAR(stored / 1e6, static_cast<double>(time(nullptr)), 5.0);
    EXPECT_EQ(files.get("C:\\shots\\one.png"), a);
    EXPECT_GT(files.slot_field<double>("C:\\shots\\one.png", last_use_at), stored);  // a find is a use
    EXPECT_EQ(files.get("C:\\shots\\two.png"), "<miss>");
    // Keys are the name's tail and the hash of the whole name.
    EXPECT_EQ(cache_store::key_for("a"), "a12638187200555641996");  // FNV-1a 64 of "a" is 0xaf63bd4c8601b7be
    const std::string tail(128, 't'), first = std::string(72, 'x') + tail, second = std::string(72, 'y') + tail;
    EXPECT_EQ(cache_store::key_for(first).substr(0, 128), tail);
    EXPECT_NE(cache_store::key_for(first), cache_store::key_for(second));

    files.put("A", blob_bytes(100, 'a'));  // at 100
    files.put("B", blob_bytes(50, 'b'));   // at 200
    files.put("A", blob_bytes(30, 'c'));   // replaces A in its slot, at the first free place
    files.put("C", blob_bytes(80, 'd'));   // the gap is too small
    files.put("D", blob_bytes(70, 'e'));   // fits the gap exactly
    EXPECT_EQ((std::vector<uint64_t>{files.offset_of("A"), files.slot_field<uint64_t>("A", index_at), files.offset_of("C"),
                                     files.offset_of("D")}),
              (std::vector<uint64_t>{100, 1, 250, 130}));
    EXPECT_EQ(files.get("D"), blob_bytes(70, 'e'));

    cache_store store;
    store.open(files.data);
    for (int i = 0; i < 47; ++i)
        store.store("blob " + std::to_string(i), 10, "0123456789");
    const std::string big = blob_bytes(6 * 1024 * 1024, 'g');  // passes the first 5 MiB
    store.store("big", big.size(), big.data());
    cache_store::blob found = store.find("big");
    store.store("copy", found.size, found.data);  // the view moves while storing
    store.close();
    EXPECT_EQ(read_bytes(files.directory).size(), 12024u);
    EXPECT_EQ(field<uint64_t>(read_bytes(files.directory), 16), 60u);
    EXPECT_EQ(files.slot_field<uint64_t>("blob 46", index_at), 51u);
    EXPECT_EQ(get_file_info(files.data).size, 5242880u + 10485760u);
    EXPECT_EQ(files.get("copy"), big);
}

TEST(CacheStore, TheLeastRecentlyUsedBlobsAreEvictedAndAnOversizedOneIsRefused)
{
    store_files files;
    files.put("A", blob_bytes(300, 'a'));
    std::string directory = read_bytes(files.directory);
    set_field<uint64_t>(directory, 8, 1000);  // the maximum data size, read back at every load
    write_bytes(files.directory, directory);
    files.put("B", blob_bytes(300, 'b'));
    files.put("C", blob_bytes(300, 'c'));
    EXPECT_EQ(files.get("A"), blob_bytes(300, 'a'));  // now B is the oldest use
    files.put("D", blob_bytes(300, 'd'));
    EXPECT_EQ(files.get("B"), "<miss>");
    EXPECT_EQ(files.offset_of("D"), 300u);
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

TEST(CacheStore, DamagedFilesLoseWhatIsDamagedAndTheStoreStaysUsable)
{
    // Header damage starts the store anew; a damaged slot is dropped, its slot and space freed, the rest kept.
    using damage = std::function<void(std::string& directory, size_t slot, std::string& data)>;
    const struct {
        const char* name;
        damage hurt;
        bool good_kept;
    } cases[] = {
        {"magic", [](std::string& d, size_t, std::string&) { d[0] = 'X'; }, false},
        {"shorter than its slots", [](std::string& d, size_t, std::string&) { d.resize(10000); }, false},
        {"shorter than the header", [](std::string& d, size_t, std::string&) { d.resize(12); }, false},
        {"absurd slot count", [](std::string& d, size_t, std::string&) { set_field<uint64_t>(d, 16, ~0ull); }, false},
        {"no data size", [](std::string& d, size_t, std::string&) { set_field<uint64_t>(d, 8, 0); }, false},
        {"absurd data size", [](std::string& d, size_t, std::string&) { set_field<uint64_t>(d, 8, 1ull << 40); }, false},
        {"empty data file", [](std::string&, size_t, std::string& data) { data.clear(); }, false},
        {"past the end", [](std::string& d, size_t s, std::string&) { set_field<uint64_t>(d, s + offset_at, 5242880 - 50); }, true},
        {"no terminator", [](std::string& d, size_t s, std::string&) { std::memset(d.data() + s, 'k', 152); }, true},
        {"wrong index", [](std::string& d, size_t s, std::string&) { set_field<uint64_t>(d, s + index_at, 3000); }, true},
        {"overlap", [](std::string& d, size_t s, std::string&) { set_field<uint64_t>(d, s + offset_at, 50); }, true},
        {"twin key", [](std::string& d, size_t s, std::string&) { d.replace(s, 152, d.substr(header_size, 152)); set_field<uint64_t>(d, s + offset_at, 4000); }, true},
        {"not a number", [](std::string& d, size_t s, std::string&) { set_field<double>(d, s + last_use_at, std::numeric_limits<double>::quiet_NaN()); }, true},
    };
    for (const auto& c : cases) {
        store_files files;
        files.put("good", blob_bytes(100, 'g'));
        files.put("hurt", blob_bytes(100, 'h'));
        const size_t slot = files.slot_of("hurt");
        std::string directory = read_bytes(files.directory), data = read_bytes(files.data);
        c.hurt(directory, slot, data);
        write_bytes(files.directory, directory);
        write_bytes(files.data, data);
        EXPECT_EQ(files.get("hurt"), "<miss>") << c.name;
        EXPECT_EQ(files.get("good"), c.good_kept ? blob_bytes(100, 'g') : "<miss>") << c.name;
        if (c.good_kept) {  // the dropped slot is free again
            EXPECT_EQ(read_bytes(files.directory).substr(slot, slot_size), std::string(slot_size, '\0')) << c.name;
        }
        files.put("late", blob_bytes(100, 'l'));
        EXPECT_EQ(files.get("late"), blob_bytes(100, 'l')) << c.name;
        EXPECT_EQ(read_bytes(files.directory).size(), 10024u) << c.name;
    }
}
