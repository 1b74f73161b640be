#include "popup/effects_popup_window.h"
#include "popup/settings_file.h"
#include "popup/maker_folders.h"

#include "tests/support/registry_value.h"
#include "tests/support/temp_folder.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/special_folders.h"
#include "toolkit/platform/text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

namespace {

std::string u32(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

std::string record(uint32_t type, const std::string& payload)
{
    return u32(type) + u32(uint32_t(payload.size())) + payload;
}

const std::string magic("QZCHF\0\0\1", 8);

}  // namespace

TEST(PopupSettings, DefaultsAndTheHotkeyText)
{
    int64_t now = qzsdk::clock_now() / qzsdk::ticks_per_second;
    PopupSettings settings;
    EXPECT_NEAR(static_cast<double>(settings.last_news_visit), static_cast<double>(now), 5.0);
    EXPECT_EQ(settings.capture_folder,
              qzsdk::documents_folder().join(qzsdk::path(L"Tarnwick\\Zephrin\\Capture")).to_utf8());
    EXPECT_EQ(settings.HotkeyText(), "");

    settings.custom_ctrl = settings.custom_shift = 1;
    settings.custom_key_name = "F";
    EXPECT_EQ(settings.HotkeyText(), "CTRL + SHIFT + F");
    settings.custom_alt = settings.custom_win = 1;
    EXPECT_EQ(settings.HotkeyText(), "CTRL + ALT + SHIFT + WIN + F");

    qzsdk::test::registry_value value(L"", L"X:/Studio");
    EXPECT_EQ(PopupSettings().capture_folder, "X:\\Studio\\Tarnwick\\Zephrin\\Capture");
}

TEST(SettingsFile, AllElevenRecordsRoundTripWithTheExactBytes)
{
    temp_folder folder;
    PopupSettings settings;
    settings.ui_color = 1;
    settings.hotkey_mode = hotkey_custom;
    settings.capture_folder = "";
    settings.full_resolution = true;
    settings.last_news_visit = 0x0102030405060708;
    settings.custom_key = 0x70;
    settings.custom_ctrl = 1;
    settings.custom_win = 1;
    settings.custom_key_name = "F1";
    qzsdk::path file = folder / L"effects_settings";
    ASSERT_TRUE(write_settings_file(file, settings));

    std::string expected = magic + record(1, u32(1)) + record(2, u32(4)) + record(3, "") + record(4, "\1") +
                           record(5, "\x08\x07\x06\x05\x04\x03\x02\x01") + record(7, "F1") + record(8, u32(0x70)) +
                           record(9, u32(1)) + record(10, u32(0)) + record(11, u32(0)) + record(12, u32(1));
    EXPECT_EQ(read_bytes(file), expected);

    PopupSettings read_back;
    read_back.capture_folder = "not overwritten?";
    ASSERT_TRUE(read_settings_file(file, read_back));
    EXPECT_EQ(read_back.ui_color, 1u);
    EXPECT_EQ(read_back.hotkey_mode, hotkey_custom);
    EXPECT_EQ(read_back.capture_folder, "");
    EXPECT_TRUE(read_back.full_resolution);
    EXPECT_EQ(read_back.last_news_visit, 0x0102030405060708);
    EXPECT_EQ(read_back.custom_key, 0x70);
    EXPECT_EQ(read_back.custom_ctrl, 1u);
    EXPECT_EQ(read_back.custom_alt, 0u);
    EXPECT_EQ(read_back.custom_win, 1u);
    EXPECT_EQ(read_back.custom_key_name, "F1");

    // The import keeps its own news visit.
    PopupSettings imported;
    imported.last_news_visit = 7;
    read_settings_file(file, imported, NewsVisitRecord::skip);
    EXPECT_EQ(imported.last_news_visit, 7);
}

TEST(SettingsFile, LastRecordWinsAndDamagedRecordsAreReadSafely)
{
    temp_folder folder;
    qzsdk::path file = folder / L"effects_settings";
    // Two theme records, a short number, a text cut at its zero byte, an unknown type, then a header that
    // claims more bytes than the file holds.
    write_bytes(file, magic + record(1, u32(0)) + record(1, u32(1)) + record(2, "\3\0") +
                          record(3, std::string("C:\\Shots\0junk", 13)) + record(99, "x") + record(6, u32(5)) +
                          u32(7) + u32(1000) + "Trunc");
    PopupSettings settings;
    settings.hotkey_mode = hotkey_shift_tab;
    ASSERT_TRUE(read_settings_file(file, settings));
    EXPECT_EQ(settings.ui_color, 1u);
    EXPECT_EQ(settings.hotkey_mode, hotkey_shift_tab);
    EXPECT_EQ(settings.capture_folder, "C:\\Shots");
    EXPECT_EQ(settings.custom_key_name, "");

    // A header straddling the end ends the records; those before it count.
    write_bytes(file, magic + record(2, u32(2)) + std::string("\x08\0\0", 3));
    ASSERT_TRUE(read_settings_file(file, settings));
    EXPECT_EQ(settings.hotkey_mode, hotkey_ctrl_tab);

    for (std::string damaged : {std::string(), std::string("QZCH"), std::string("XXXXXXXX") + record(1, u32(1))}) {
        write_bytes(file, damaged);
        PopupSettings untouched;
        EXPECT_FALSE(read_settings_file(file, untouched));
        EXPECT_EQ(untouched.ui_color, 0u);
    }
    EXPECT_FALSE(read_settings_file(folder / L"missing", settings));
}

TEST(SettingsFile, AFailedWriteOrReadLeavesTheOldFile)
{
    temp_folder folder;
    qzsdk::path file = folder / L"effects_settings";
    write_bytes(file, "old settings");
    // Open without delete sharing, as a virus scanner might: the replacement cannot be renamed over it.
    HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(write_settings_file(file, PopupSettings()));
    CloseHandle(holder);
    EXPECT_EQ(read_bytes(file), "old settings");
    EXPECT_FALSE(write_settings_file(folder / L"no folder\\effects_settings", PopupSettings()));

    // A file that could not be read is never saved over in that session, even once it can be.
    PopupSettings defaults, stored;
    stored.ui_color = 1;
    ASSERT_TRUE(write_settings_file(file, stored));
    holder = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(read_settings_file(file, defaults));
    CloseHandle(holder);
    EXPECT_EQ(defaults.ui_color, 0u);
    EXPECT_FALSE(write_settings_file(file, defaults));
    EXPECT_TRUE(read_settings_file(file, defaults));
    EXPECT_EQ(defaults.ui_color, 1u);
    EXPECT_TRUE(write_settings_file(file, defaults));
}

TEST(SettingsFile, SerializingCreatesTheCaptureFolderAndWritesTheListsWhenAsked)
{
    temp_folder folder;
    PopupSettings settings;
    settings.capture_folder = (folder / L"shots\\deep").to_utf8();
    EffectLists lists;
    ASSERT_TRUE(EffectsPopupWindow::SerializeSettings(settings, lists, folder.get(), false));
    EXPECT_EQ(qzsdk::get_file_info(folder / L"shots\\deep").kind, qzsdk::file_kind_folder);
    EXPECT_EQ(read_bytes(folder / L"effects_search.txt"), "<missing>");

    ASSERT_TRUE(EffectsPopupWindow::SerializeSettings(settings, lists, folder.get(), true));
    EXPECT_EQ(read_bytes(folder / L"effects_search.txt"), "");
    EXPECT_EQ(read_bytes(folder / L"effects_shortcuts.txt"), "");

    // A relative folder is written as it is but never made in the host's working folder.
    settings.capture_folder = "zephrin relative shots";
    ASSERT_TRUE(EffectsPopupWindow::SerializeSettings(settings, lists, folder.get(), false));
    EXPECT_FALSE(qzsdk::get_file_info(qzsdk::path(L"zephrin relative shots")).exists);
}

TEST(SettingsFile, TheLocalCopyFirstAndACommonCaptureFolderOnlyWhenItExists)
{
    temp_folder local, common;
    MakerFolders folders{local.get(), common.get()};
    PopupSettings common_settings;
    common_settings.ui_color = 1;
    common_settings.capture_folder = (common / L"no such folder").to_utf8();
    ASSERT_TRUE(write_settings_file(common / L"effects_settings", common_settings));

    PopupSettings settings;
    std::string default_folder = settings.capture_folder;
    read_local_or_common_settings(folders, settings);
    EXPECT_EQ(settings.ui_color, 1u);
    EXPECT_EQ(settings.capture_folder, default_folder);

    common_settings.capture_folder = common.get().to_utf8();
    ASSERT_TRUE(write_settings_file(common / L"effects_settings", common_settings));
    read_local_or_common_settings(folders, settings);
    EXPECT_EQ(settings.capture_folder, common.get().to_utf8());

    PopupSettings local_settings;
    local_settings.hotkey_mode = hotkey_shift_tab;
    local_settings.capture_folder = "L:\\missing but local";
    ASSERT_TRUE(write_settings_file(local / L"effects_settings", local_settings));
    PopupSettings from_local;
    read_local_or_common_settings(folders, from_local);
    EXPECT_EQ(from_local.hotkey_mode, hotkey_shift_tab);
    EXPECT_EQ(from_local.ui_color, 0u);
    EXPECT_EQ(from_local.capture_folder, "L:\\missing but local");
}

TEST(SettingsFile, AnEmptyOrRelativeCaptureFolderGivesTheDefault)
{
    temp_folder local, common;
    MakerFolders folders{local.get(), common.get()};
    for (const char* unusable : {"", "Captures", "\\Captures", "C:Captures"}) {
        SCOPED_TRACE(unusable);
        PopupSettings stored;
        stored.capture_folder = unusable;
        ASSERT_TRUE(write_settings_file(local / L"effects_settings", stored));
        PopupSettings settings;
        settings.capture_folder = "C:\\before";
        read_local_or_common_settings(folders, settings);
        EXPECT_EQ(settings.capture_folder, PopupSettings::DefaultCaptureFolder());
        EXPECT_TRUE(settings.HasAbsoluteCaptureFolder());
    }
    // A relative folder in the maker's registry key is no base for the default either.
    qzsdk::test::registry_value value(L"", L"Studio");
    EXPECT_EQ(PopupSettings().capture_folder,
              qzsdk::documents_folder().join(qzsdk::path(L"Tarnwick\\Zephrin\\Capture")).to_utf8());
}
