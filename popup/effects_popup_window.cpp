#include "popup/effects_popup_window.h"

#include "popup/effect_list_text.h"
#include "popup/effect_slot.h"
#include "popup/entry_index.h"
#include "popup/list_file_io.h"
#include "popup/settings_file.h"
#include "popup/shortcut_label.h"
#include "toolkit/platform/file_system.h"

EffectsPopupWindow::EffectsPopupWindow(PopupSettings* settings, MakerFolders folders)
    : settings_(settings), folders_(std::move(folders))
{
    if (!folders_.local.empty() && !qzsdk::get_file_info(folders_.local.join(qzsdk::path(settings_file_name))).exists)
        SerializeLocalSettings(false);
    BuildThemes();
    ApplyTheme(settings_->ui_color, true);
}

void EffectsPopupWindow::BuildThemes()
{
    themes_ = build_effects_themes();
}

void EffectsPopupWindow::ApplyTheme(uint32_t index, bool force)
{
    if (themes_.empty())
        return;
    const EffectsTheme* theme = &themes_[index < themes_.size() ? index : 0];
    if (theme == current_theme_ && !force)
        return;
    current_theme_ = theme;
    apply_theme_to_skin(*theme);
}

void EffectsPopupWindow::RunCommand(int32_t& result, const std::string& project_name, const std::string& comp_name,
                                    const std::string& layer_name, int32_t command)
{
    project_name_ = project_name;
    comp_name_ = comp_name;
    layer_name_ = layer_name;
    has_composition_ = !comp_name.empty();
    has_layer_ = !layer_name.empty();
    result = -1;
    if (command == popup_command_save)
        SerializeLocalSettings(true);
}

void EffectsPopupWindow::SetEffects(std::vector<EffectEntry> entries)
{
    // The rows of the last search point into the list being replaced.
    result_.clear();
    entries_ = std::move(entries);
    search_.set_entries(entries_);
    LoadSearchFile();
    LoadShortcutsFile();
}

void EffectsPopupWindow::UpdateSearch(std::string_view typed_text)
{
    typed_text_ = typed_text;
    result_ = result_lines(search_.run(lists_.aliases, lists_.blacklist, typed_text_), typed_text_);
}

const EffectEntry* EffectsPopupWindow::ResolveOverride(const EffectEntry* chosen) const
{
    for (const EffectAlias& alias : lists_.aliases)
        if (alias.target == chosen && alias.override_target)
            return alias.override_target;
    return chosen;
}

void EffectsPopupWindow::AddToList(const EffectEntry* entry, bool blacklist)
{
    if (!entry)
        return;
    (blacklist ? lists_.blacklist : lists_.aliases).push_back({entry->match_name, entry, nullptr});
    SaveEffectFiles();
    UpdateSearch(std::string(typed_text_));
}

void EffectsPopupWindow::CreateShortcut(const EffectEntry* entry)
{
    if (!entry)
        return;
    for (EffectShortcut& slot : lists_.shortcuts) {
        if (!slot.target) {
            slot = {shortcut_label(entry->name), entry};
            SaveEffectFiles();
            return;
        }
    }
}

void EffectsPopupWindow::ReplaceShortcut(const EffectEntry* entry, uint64_t slot)
{
    if (!entry || slot >= lists_.shortcuts.size() || !lists_.shortcuts[slot].target)
        return;
    lists_.shortcuts[slot] = {shortcut_label(entry->name), entry};
    SaveEffectFiles();
}

void EffectsPopupWindow::SetSelectedSlot(EffectSlot* slot)
{
    if (selected_slot_ && selected_slot_ != slot)
        selected_slot_->set_highlight(false);
    selected_slot_ = slot;
}

void EffectsPopupWindow::LoadSearchFile()
{
    ReadSearchFile(lists_, folders_.folder_to_read(search_file_name));
}

void EffectsPopupWindow::LoadShortcutsFile()
{
    ReadShortcutsFile(lists_, folders_.folder_to_read(shortcuts_file_name));
}

void EffectsPopupWindow::ReadSearchFile(EffectLists& lists, const qzsdk::path& folder) const
{
    read_search_text(read_list_file(folder, search_file_name), EntryIndex(entries_), lists);
}

void EffectsPopupWindow::ReadShortcutsFile(EffectLists& lists, const qzsdk::path& folder) const
{
    read_shortcuts_text(read_list_file(folder, shortcuts_file_name), EntryIndex(entries_), lists);
}

bool EffectsPopupWindow::WriteEffectFiles(const EffectLists& lists, const qzsdk::path& folder)
{
    bool search_written = write_list_file(folder, search_file_name, search_text(lists));
    bool shortcuts_written = write_list_file(folder, shortcuts_file_name, shortcuts_text(lists));
    return search_written && shortcuts_written;
}

bool EffectsPopupWindow::SaveEffectFiles() const
{
    return WriteEffectFiles(lists_, folders_.local);
}

bool EffectsPopupWindow::SerializeSettings(const PopupSettings& settings, const EffectLists& lists,
                                           const qzsdk::path& folder, bool with_lists)
{
    bool written = !folder.empty() && write_settings_file(folder.join(qzsdk::path(settings_file_name)), settings);
    qzsdk::create_directories(qzsdk::path::from_utf8(settings.capture_folder));
    if (with_lists)
        written = WriteEffectFiles(lists, folder) && written;
    return written;
}

bool EffectsPopupWindow::SerializeLocalSettings(bool with_lists) const
{
    return SerializeSettings(*settings_, lists_, folders_.local, with_lists);
}
