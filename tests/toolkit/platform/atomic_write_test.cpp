#include "toolkit/platform/atomic_write.h"

#include "tests/support/file_holder.h"
#include "tests/support/import_redirect.h"
#include "tests/support/temp_folder.h"
#include "toolkit/platform/directory_listing.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace qzsdk;
using qzsdk::test::file_holder;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

namespace {

std::vector<std::wstring> files_in(const path& folder)
{
    std::vector<std::wstring> names;
    for (const directory_entry& entry : directory_listing{folder, 0})
        if (!entry.is_folder)
            names.push_back(entry.relative_path.wide());
    return names;
}

using move_function = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
const auto system_move = reinterpret_cast<move_function>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "MoveFileExW")));
DWORD counting_thread = 0;
int tries = 0;

BOOL WINAPI counted_move(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    if (GetCurrentThreadId() == counting_thread)
        ++tries;
    return system_move(from, to, flags);
}

// Counts the renames this thread tries while it lives, each made by the system's own MoveFileExW: a replace
// that waits for a holder tries again, one that gives up at once tries once.
class rename_tries {
public:
    rename_tries()
    {
        counting_thread = GetCurrentThreadId();
        tries = 0;
        redirected_ = qzsdk::test::redirect_import(GetModuleHandleW(nullptr), "kernel32.dll", "MoveFileExW",
                                                   reinterpret_cast<const void*>(&counted_move));
    }
    ~rename_tries()
    {
        qzsdk::test::redirect_import(GetModuleHandleW(nullptr), "kernel32.dll", "MoveFileExW",
                                     reinterpret_cast<const void*>(system_move));
    }
    rename_tries(const rename_tries&) = delete;
    rename_tries& operator=(const rename_tries&) = delete;

    bool redirected() const { return redirected_; }
    int count() const { return tries; }

private:
    bool redirected_ = false;
};

}  // namespace

// Another program opens the file just written for a moment without delete sharing.
TEST(AtomicWrite, AMomentaryHoldIsWaitedOutAndALastingOneFailsCleanly)
{
    temp_folder root;
    const path file = root / L"effects_search.txt";
    write_bytes(file, "old");
    {
        file_holder scanner(file, 200);
        ASSERT_TRUE(scanner.held()) << "the holder thread did not open the file";
        EXPECT_TRUE(write_file_atomically(file, "new"));
    }
    EXPECT_EQ(read_bytes(file), "new");

    {
        file_holder backup(file);
        ASSERT_TRUE(backup.held()) << "the holder thread did not open the file";
        EXPECT_FALSE(write_file_atomically(file, "lost"));
    }
    EXPECT_EQ(read_bytes(file), "new");
    EXPECT_EQ(files_in(root.get()), std::vector<std::wstring>{L"effects_search.txt"});
}

// Access denied also comes from what no program lets go of: a folder where the file goes, or a read-only file.
// Windows refuses to rename over a read-only file; Wine refuses only while something holds it, so a holder
// makes the refusal here, and the read-only file must not be waited on all the same.
TEST(AtomicWrite, AFolderOrAReadOnlyFileAtTheTargetFailsAtTheFirstTry)
{
    temp_folder root;
    const path folder = root / L"effects_search.txt";
    qzsdk::test::make_folder(folder);
    {
        rename_tries renames;
        ASSERT_TRUE(renames.redirected()) << "the test program imports no MoveFileExW";
        EXPECT_FALSE(write_file_atomically(folder, "lost"));
        EXPECT_EQ(renames.count(), 1) << "a folder at the target was waited on";
    }
    EXPECT_TRUE(files_in(root.get()).empty()) << "a temporary file was left";

    const path locked = root / L"effects_shortcuts.txt";
    write_bytes(locked, "old");
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        file_holder reader(locked);
        ASSERT_TRUE(reader.held()) << "the holder thread did not open the file";
        rename_tries renames;
        EXPECT_FALSE(write_file_atomically(locked, "lost"));
        EXPECT_EQ(renames.count(), 1) << "a read-only file at the target was waited on";
    }
    EXPECT_EQ(read_bytes(locked), "old");
    EXPECT_EQ(files_in(root.get()), std::vector<std::wstring>{L"effects_shortcuts.txt"});
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}
