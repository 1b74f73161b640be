#include "preferences/settings_transfer.h"

#include "popup/effects_popup_window.h"
#include "popup/settings_file.h"
#include "preferences/settings_scratch_folder.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/folder_archive.h"

#include <utility>

namespace {

constexpr TransferMessage export_folder_failed{"Failed to Save", "Unable to save current settings to disk."};
constexpr TransferMessage pack_failed{"Failed to Save", "Unable create the export file in the directory you specified."};
constexpr TransferMessage exported{"Export Successful", "Preferences exported successfully."};
constexpr TransferMessage import_folder_failed{"Failed to Load", "Unable to import settings from the file."};
constexpr TransferMessage unreadable{"Failed to Load", "Unable read from the preferences file you selected."};
constexpr TransferMessage gallery_reset{
    "Import Info", "The imported gallery path was not found in the local machine, so it was reset to default."};
constexpr TransferMessage imported{"Import Successful", "Preferences imported successfully."};

bool is_file(const qzsdk::path& folder, const wchar_t* name)
{
    return qzsdk::get_file_info(folder.join(qzsdk::path(name))).kind == qzsdk::file_kind_file;
}

bool is_folder(const std::string& folder)
{
    return qzsdk::get_file_info(qzsdk::path::from_utf8(folder)).kind == qzsdk::file_kind_folder;
}

// A settings file holds the three files and nothing else; each is small, so a larger one is a bomb.
qzsdk::unpack_limits settings_archive_limits()
{
    constexpr uint64_t largest_file = 16ull << 20;
    qzsdk::unpack_limits limits;
    for (const wchar_t* name : {settings_file_name, search_file_name, shortcuts_file_name})
        limits.names.push_back(qzsdk::path(name).to_utf8());
    limits.largest_file = largest_file;
    limits.largest_total = 3 * largest_file;
    return limits;
}

// A value no control can show would leave the theme or the hotkey dead: it takes its default.
void keep_in_range(PopupSettings& settings, size_t theme_count)
{
    const PopupSettings defaults;
    if (settings.ui_color >= theme_count)
        settings.ui_color = defaults.ui_color;
    if (settings.hotkey_mode > hotkey_custom)
        settings.hotkey_mode = defaults.hotkey_mode;
    if (settings.custom_key < 0 || settings.custom_key > 0xFF) {
        settings.custom_key = defaults.custom_key;
        settings.custom_key_name.clear();
        if (settings.hotkey_mode == hotkey_custom)
            settings.hotkey_mode = defaults.hotkey_mode;
    }
}

}  // namespace

SettingsTransfer::SettingsTransfer(const EffectsPopupWindow& popup) : popup_(popup)
{
}

TransferMessage SettingsTransfer::Export(const PopupSettings& settings, const EffectLists& lists,
                                         const qzsdk::path& archive) const
{
    SettingsScratchFolder scratch(popup_.folders().local);
    if (scratch.get().empty())
        return export_folder_failed;
    // An archive missing a file would import as emptied lists: nothing is packed unless all three were written.
    if (!EffectsPopupWindow::SerializeSettings(settings, lists, scratch.get(), true))
        return export_folder_failed;
    if (qzsdk::folder_archive::pack(scratch.get(), archive) != qzsdk::folder_archive_result::ok)
        return pack_failed;
    return exported;
}

TransferMessage SettingsTransfer::Import(const qzsdk::path& archive, PopupSettings& settings, EffectLists& lists) const
{
    SettingsScratchFolder scratch(popup_.folders().local);
    if (scratch.get().empty())
        return import_folder_failed;
    const qzsdk::path& folder = scratch.get();
    if (qzsdk::folder_archive::unpack(archive, folder, settings_archive_limits()) != qzsdk::folder_archive_result::ok)
        return unreadable;
    // A missing list file reads as an empty list: taking that would wipe the user's lists.
    if (!is_file(folder, settings_file_name) || !is_file(folder, search_file_name) ||
        !is_file(folder, shortcuts_file_name))
        return unreadable;

    PopupSettings new_settings = settings;
    if (!read_settings_file(folder.join(qzsdk::path(settings_file_name)), new_settings, NewsVisitRecord::skip))
        return unreadable;
    keep_in_range(new_settings, popup_.themes().size());
    EffectLists new_lists;
    popup_.ReadSearchFile(new_lists, folder);
    popup_.ReadShortcutsFile(new_lists, folder);

    // A relative folder would be found, or not, in whatever the host's working folder is.
    bool reset = !new_settings.HasAbsoluteCaptureFolder() || !is_folder(new_settings.capture_folder);
    if (reset) {
        std::string default_folder = PopupSettings::DefaultCaptureFolder();
        // When even the default cannot be made here, the folder in use stays rather than one that fails.
        bool made = qzsdk::create_directories(qzsdk::path::from_utf8(default_folder));
        new_settings.capture_folder = made ? default_folder : settings.capture_folder;
    }

    settings = std::move(new_settings);
    lists = std::move(new_lists);
    return reset ? gallery_reset : imported;
}
