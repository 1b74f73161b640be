#include <gtest/gtest.h>

#include "tests/support/dialog_driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "toolkit/ui/file_dialog.h"

using namespace qzsdk::ui;
using qzsdk::path;
using qzsdk::test::dialog_driver;
using qzsdk::test::temp_folder;

namespace {

const std::vector<file_filter> png_then_jpg{{"PNG files (*.png)", "*.png"}, {"JPG files (*.jpg)", "*.jpg"}};

}  // namespace

TEST(FileDialog, CancellingGivesNothingAndThrowsNothing)
{
    dialog_driver driver(dialog_driver::answer::cancel);
    EXPECT_TRUE(show_file_dialog(nullptr, file_dialog_save, "Save to PNG", png_then_jpg, 0, "shot").empty());
    EXPECT_TRUE(show_file_dialog(nullptr, file_dialog_open, "Open", png_then_jpg, 1, "").empty());
    EXPECT_TRUE(show_folder_dialog(nullptr, "Pick", path(L"C:\\no such folder\\below")).empty());
    // No filter to select, and an index past the list: the dialog still opens.
    EXPECT_TRUE(show_file_dialog(nullptr, file_dialog_save, "No types", {}, 0, "").empty());
    EXPECT_TRUE(show_file_dialog(nullptr, file_dialog_save, "Past the end", png_then_jpg, 5, "").empty());
    ASSERT_EQ(driver.titles().size(), 5u);
    EXPECT_EQ(driver.titles()[0], L"Save to PNG");
    EXPECT_EQ(driver.titles()[2], L"Pick");
}

TEST(FileDialog, SaveGivesTheChosenFileWithTheFilterExtension)
{
    temp_folder folder;
    dialog_driver driver(dialog_driver::answer::ok, (folder / L"shot").wide());
    const std::vector<path> chosen =
        show_file_dialog(nullptr, file_dialog_save, "Save to PNG", {{"PNG files (*.png)", "*.png"}}, 0, "");
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_TRUE(chosen[0].wide().ends_with(L"\\shot.png")) << chosen[0].to_utf8();
}

TEST(FileDialog, OpenGivesTheChosenFileOwnedByAWindow)
{
    temp_folder folder;
    const path file = folder / L"picked.png";
    qzsdk::test::write_bytes(file, "x");
    window owner;
    owner.create("owner", rect{0, 0, 200, 100}, 0);
    dialog_driver driver(dialog_driver::answer::ok, file.wide());
    const std::vector<path> chosen = show_file_dialog(&owner, file_dialog_open, "Open", png_then_jpg, 0, "");
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_TRUE(chosen[0].wide().ends_with(L"\\picked.png")) << chosen[0].to_utf8();
}

TEST(FileDialog, DefaultExtensionComesFromAPlainPattern)
{
    EXPECT_EQ(default_extension_of("*.png"), L"png");
    EXPECT_EQ(default_extension_of("*.jpg"), L"jpg");
    EXPECT_EQ(default_extension_of("*"), L"");
    EXPECT_EQ(default_extension_of("*."), L"");
    EXPECT_EQ(default_extension_of("*.*"), L"");
    EXPECT_EQ(default_extension_of("png"), L"");
}
