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
    // An archive of the three files written for the current settings and lists, less the dropped ones and
    // with one file put in or replaced.
    std::string archive_of(std::vector<const wchar_t*> dropped, const wchar_t* put = nullptr,
                           const std::string& content = {})
    {
        temp_folder source;
        EffectsPopupWindow::SerializeSettings(settings_, lists_, source.get(), true);
        for (const wchar_t* name : dropped)
            DeleteFileW(source.get().join(name).c_str());
        if (put)
            write_bytes(source / put, content);
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
    settings_.last_news_visit = exported_visit;
    EXPECT_EQ(saved_bytes(), exported);
}

TEST_F(SettingsTransferTest, DamagedHostileOrIncompleteFilesChangeNothing)
{
    std::string whole = archive_of({});
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
        {"no shortcuts file", archive_of({L"effects_shortcuts.txt"})},
        {"no settings file", archive_of({L"effects_settings"})},
        {"a settings file without records", archive_of({}, L"effects_settings", std::string("QZCHF\0\0\1", 8))},
        {"a member not asked for", archive_of({}, L"notes.txt", "hello")},
        {"a member unpacking to more than 16 MiB", archive_of({}, L"effects_search.txt", std::string(17 << 20, '\n'))},
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
}

TEST_F(SettingsTransferTest, ValuesNoControlCanShowFallBackToTheirDefaults)
{
    struct {
        uint32_t ui_color, hotkey_mode;
        int32_t custom_key;
        uint32_t want_color, want_hotkey;
        int32_t want_key;
    } cases[] = {{7, 9, 'F', 0, 0, 'F'}, {1, hotkey_custom, -5, 1, 0, -1}, {1, hotkey_ctrl_tab, 0x1234, 1, 2, -1}};
    for (const auto& test : cases) {
        settings_.ui_color = test.ui_color;
        settings_.hotkey_mode = test.hotkey_mode;
        settings_.custom_key = test.custom_key;
        ASSERT_EQ(export_to(files_ / L"odd.zqs").title, "Export Successful");
        settings_ = PopupSettings();
        EXPECT_EQ(import_from(files_ / L"odd.zqs").title, "Import Successful");
        EXPECT_EQ(settings_.ui_color, test.want_color);
        EXPECT_EQ(settings_.hotkey_mode, test.want_hotkey);
        EXPECT_EQ(settings_.custom_key, test.want_key);
    }
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

TEST_F(SettingsTransferTest, ARelativeCaptureFolderIsResetWithTheGalleryPathMessage)
{
    // Even a folder of that name in the working folder is no gallery path: it depends on where the host runs.
    const path relative(L"zephrin relative capture");
    make_folder(relative);
    settings_.capture_folder = relative.to_utf8();
    ASSERT_EQ(export_to(files_ / L"s.zqs").title, "Export Successful");
    settings_.capture_folder = capture_.get().to_utf8();
    const TransferMessage told = import_from(files_ / L"s.zqs");
    qzsdk::remove_tree(relative);
    EXPECT_EQ(told, (TransferMessage{"Import Info", "The imported gallery path was not found in the local machine, "
                                                    "so it was reset to default."}));
    EXPECT_EQ(settings_.capture_folder, PopupSettings::DefaultCaptureFolder());
}

TEST_F(SettingsTransferTest, FailuresAreToldAndLeaveNoScratchFolder)
{
    EXPECT_EQ(export_to(files_ / L"missing\\s.zqs"),
              (TransferMessage{"Failed to Save", "Unable create the export file in the directory you specified."}));
    EXPECT_TRUE(no_scratch_left());
    // Without a maker folder to work in, nothing is written.
    qzsdk::remove_tree(local_.get());
    write_bytes(local_.get(), "a file where the maker folder belongs");
    EXPECT_EQ(export_to(files_ / L"new.zqs"), (TransferMessage{"Failed to Save", "Unable to save current settings to disk."}));
    EXPECT_FALSE(qzsdk::get_file_info(files_ / L"new.zqs").exists);
    EXPECT_EQ(import_from(files_ / L"new.zqs"), (TransferMessage{"Failed to Load", "Unable to import settings from the file."}));
}

TEST(SettingsScratchFolder, OperationsInTheSameSecondGetTheirOwnFoldersAndEachRemovesOnlyItsOwn)
{
    temp_folder maker;
    auto first = std::make_unique<SettingsScratchFolder>(maker.get());
    const path first_folder = first->get();
    EXPECT_EQ(first_folder.file_name().to_utf8().rfind("zephrin_settings_", 0), 0u);
    write_bytes(first_folder.join(L"effects_settings"), "first");
    EXPECT_NE(SettingsScratchFolder(maker.get()).get(), first_folder);  // made and removed at once
    EXPECT_EQ(read_bytes(first_folder.join(L"effects_settings")), "first");
    first.reset();
    EXPECT_FALSE(qzsdk::get_file_info(first_folder).exists);
}
