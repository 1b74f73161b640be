#include "toolkit/platform/atomic_write.h"

#include "tests/support/file_holder.h"
#include "tests/support/temp_folder.h"
#include "toolkit/platform/directory_listing.h"

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
