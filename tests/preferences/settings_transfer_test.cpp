#include "preferences/settings_transfer.h"

#include "popup/effect_list_text.h"
#include "popup/effects_popup_window.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "preferences/settings_scratch_folder.h"
#include "tests/support/temp_folder.h"
#include "toolkit/platform/directory_listing.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/folder_archive.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

using qzsdk::path;
using qzsdk::test::make_folder;
using qzsdk::test::read_bytes;
using qzsdk::test::temp_folder;
using qzsdk::test::write_bytes;

namespace {

constexpr TransferMessage unreadable{"Failed to Load", "Unable read from the preferences file you selected."};

class SettingsTransferTest : public testing::Test {
protected:
    SettingsTransferTest()
    {
        make_folder(local_.get());
        make_folder(capture_.get());
        popup_ = std::make_unique<EffectsPopupWindow>(nullptr, &popup_settings_, MakerFolders{local_.get(), common_.get()},
                                                      EffectsPopupWindowTestApi::refusing_news_server());
        popup_->SetEffects({{1, "Glow", "glow", "Stylize", false},
                            {2, "Gaussian Blur", "gaussian blur", "Blur & Sharpen", false},
                            {-1, "Fade In", "fade in", "Animation Preset", true}});
        settings_.ui_color = 1;
        settings_.hotkey_mode = hotkey_custom;
        settings_.capture_folder = capture_.get().to_utf8();
        settings_.full_resolution = true;
        settings_.custom_key = 'F';
        settings_.custom_ctrl = 1;
        settings_.custom_shift = 1;
        settings_.custom_key_name = "F";
        const std::vector<EffectEntry>& entries = popup_->entries();
        lists_.aliases = {{"glow", &entries[0], nullptr}, {"gb", &entries[1], &entries[0]}};
        lists_.blacklist = {{"fade in", &entries[2], nullptr}};
        lists_.shortcuts[2] = {"Gl", &entries[0]};
    }

    TransferMessage export_to(const path& archive) { return SettingsTransfer(*popup_).Export(settings_, lists_, archive); }
    TransferMessage import_from(const path& archive)
    {
        return SettingsTransfer(*popup_).Import(archive, settings_, lists_);
    }
    // The three files as the popup would write them for these settings and lists.
    std::string saved_bytes()
    {
        temp_folder folder;
        EffectsPopupWindow::SerializeSettings(settings_, lists_, folder.get(), true);
        return read_bytes(folder / L"effects_settings") + "|" + read_bytes(folder / L"effects_search.txt") + "|" +
               read_bytes(folder / L"effects_shortcuts.txt");
    }
    // Nothing but the maker folder's own content: no scratch folder was left behind.
    bool no_scratch_left()
    {
        for (const qzsdk::directory_entry& entry : qzsdk::directory_listing{local_.get()})
            if (entry.relative_path.to_utf8().rfind("zephrin_settings_", 0) == 0)
                return false;
        return true;
    }
    // An archive of the named files of a folder made from the current settings and lists.
    std::string archive_of(std::initializer_list<const wchar_t*> names)
    {
        temp_folder source;
        temp_folder all;
        EffectsPopupWindow::SerializeSettings(settings_, lists_, all.get(), true);
        for (const wchar_t* name : names)
            write_bytes(source / name, read_bytes(all / name));
        temp_folder out;
        EXPECT_EQ(qzsdk::folder_archive::pack(source.get(), out / L"a.zqs"), qzsdk::folder_archive_result::ok);
        return read_bytes(out / L"a.zqs");
    }

    temp_folder local_;
    temp_folder common_;
    temp_folder capture_;
    temp_folder files_;
    PopupSettings popup_settings_;
    std::unique_ptr<EffectsPopupWindow> popup_;
    PopupSettings settings_;
    EffectLists lists_;
};

}  // namespace

void PrintTo(const TransferMessage& message, std::ostream* out)
{
    *out << message.title << " / " << message.text;
}

TEST_F(SettingsTransferTest, ExportThenImportGivesBackTheSameBytesButKeepsTheNewsVisit)
{
    path archive = files_ / L"zephrin_settings.zqs";
    EXPECT_EQ(export_to(archive), (TransferMessage{"Export Successful", "Preferences exported successfully."}));
    EXPECT_TRUE(no_scratch_left());
    std::string exported = saved_bytes();

    int64_t exported_visit = settings_.last_news_visit;
    int64_t news_visit = exported_visit + 1000;
    settings_ = PopupSettings();
    settings_.last_news_visit = news_visit;
    lists_ = EffectLists();
    EXPECT_EQ(import_from(archive), (TransferMessage{"Import Successful", "Preferences imported successfully."}));
    EXPECT_TRUE(no_scratch_left());
    EXPECT_EQ(settings_.last_news_visit, news_visit);
    EXPECT_EQ(settings_.capture_folder, capture_.get().to_utf8());
    EXPECT_EQ(settings_.custom_key_name, "F");
    ASSERT_EQ(lists_.aliases.size(), 2u);
    EXPECT_EQ(lists_.aliases[1].override_target, &popup_->entries()[0]);
    settings_.last_news_visit = exported_visit;
    EXPECT_EQ(saved_bytes(), exported);
}

TEST_F(SettingsTransferTest, DamagedHostileOrIncompleteFilesChangeNothing)
{
    std::string whole = archive_of({L"effects_settings", L"effects_search.txt", L"effects_shortcuts.txt"});
    // The record's name made "..\ects_settings": a file meant to land beside the scratch folder.
    std::string renamed = whole;
    size_t name = renamed.find("effects_settings");
    ASSERT_NE(name, std::string::npos);
    renamed.replace(name, 3, "..\\");
    struct Case {
        const char* what;
        std::string bytes;
    };
    Case cases[] = {
        {"not an archive", "PK\x03\x04 a zip, not ours"},
        {"truncated", whole.substr(0, whole.size() / 2)},
        {"a name leaving the folder", renamed},
        {"no shortcuts file", archive_of({L"effects_settings", L"effects_search.txt"})},
        {"no settings file", archive_of({L"effects_search.txt", L"effects_shortcuts.txt"})},
    };
    std::string before = saved_bytes();
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        write_bytes(files_ / L"bad.zqs", test.bytes);
        EXPECT_EQ(import_from(files_ / L"bad.zqs"), unreadable);
        EXPECT_EQ(saved_bytes(), before);
        EXPECT_TRUE(no_scratch_left());
    }
    EXPECT_FALSE(qzsdk::get_file_info(local_ / L"ects_settings").exists);

    // A settings file without a single record is no settings file.
    temp_folder source;
    write_bytes(source / L"effects_settings", std::string("QZCHF\0\0\1", 8));
    write_bytes(source / L"effects_search.txt", "");
    write_bytes(source / L"effects_shortcuts.txt", "");
    ASSERT_EQ(qzsdk::folder_archive::pack(source.get(), files_ / L"empty.zqs"), qzsdk::folder_archive_result::ok);
    EXPECT_EQ(import_from(files_ / L"empty.zqs"), unreadable);
    EXPECT_EQ(saved_bytes(), before);
}

TEST_F(SettingsTransferTest, ACaptureFolderMissingHereIsResetToTheDefaultAndCreated)
{
    settings_.capture_folder = (files_ / L"elsewhere\\Capture").to_utf8();
    ASSERT_EQ(export_to(files_ / L"s.zqs").title, "Export Successful");
    qzsdk::remove_tree(files_ / L"elsewhere");
    settings_.capture_folder = capture_.get().to_utf8();

    EXPECT_EQ(import_from(files_ / L"s.zqs"),
              (TransferMessage{"Import Info", "The imported gallery path was not found in the local machine, so it "
                                              "was reset to default."}));
    EXPECT_EQ(settings_.capture_folder, PopupSettings().capture_folder);
    EXPECT_EQ(qzsdk::get_file_info(path::from_utf8(settings_.capture_folder)).kind, qzsdk::file_kind_folder);
    EXPECT_FALSE(qzsdk::get_file_info(files_ / L"elsewhere").exists);
}

TEST_F(SettingsTransferTest, AFailedExportKeepsTheOlderFileAndLeavesNoScratchFolder)
{
    path archive = files_ / L"s.zqs";
    write_bytes(archive, "older export");
    // Another program holds the old file open without sharing, so it cannot be replaced.
    HANDLE held = CreateFileW(archive.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TransferMessage message = export_to(archive);
    CloseHandle(held);
    EXPECT_EQ(message, (TransferMessage{"Failed to Save", "Unable create the export file in the directory you specified."}));
    EXPECT_EQ(read_bytes(archive), "older export");
    EXPECT_TRUE(no_scratch_left());
    EXPECT_EQ(export_to(files_ / L"missing\\s.zqs").title, "Failed to Save");
    EXPECT_TRUE(no_scratch_left());

    // Without a maker folder to work in, nothing is written.
    qzsdk::remove_tree(local_.get());
    write_bytes(local_.get(), "a file where the maker folder belongs");
    EXPECT_EQ(export_to(files_ / L"new.zqs"), (TransferMessage{"Failed to Save", "Unable to save current settings to disk."}));
    EXPECT_FALSE(qzsdk::get_file_info(files_ / L"new.zqs").exists);
    EXPECT_EQ(import_from(archive),
              (TransferMessage{"Failed to Load", "Unable to import settings from the file."}));
}

TEST(SettingsScratchFolder, OperationsInTheSameSecondGetTheirOwnFoldersAndEachRemovesOnlyItsOwn)
{
    temp_folder maker;
    path first_folder;
    {
        SettingsScratchFolder first(maker.get());
        first_folder = first.get();
        ASSERT_FALSE(first_folder.empty());
        EXPECT_EQ(first_folder.file_name().to_utf8().rfind("zephrin_settings_", 0), 0u);
        write_bytes(first_folder.join(L"effects_settings"), "first");
        {
            SettingsScratchFolder second(maker.get());
            ASSERT_FALSE(second.get().empty());
            EXPECT_NE(second.get(), first_folder);
        }
        EXPECT_EQ(read_bytes(first_folder.join(L"effects_settings")), "first");
    }
    EXPECT_FALSE(qzsdk::get_file_info(first_folder).exists);
}
