#pragma once
// The effects popup's catalogue: the entries from the host, the user's lists and their files, the search
// over them and the choice of an entry. The window around it is built on top of this state.
#include "popup/effect_entry.h"
#include "popup/effect_search.h"
#include "popup/effects_popup_interface.h"
#include "popup/effects_theme.h"
#include "popup/maker_folders.h"
#include "popup/popup_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class EffectsPopupWindow : public EffectsPopupInterface {
public:
    // The settings belong to the host glue's state object and outlive the popup. A missing local settings
    // file is written at once.
    explicit EffectsPopupWindow(PopupSettings* settings, MakerFolders folders = MakerFolders::standard());
    virtual ~EffectsPopupWindow() = default;
    EffectsPopupWindow(const EffectsPopupWindow&) = delete;
    EffectsPopupWindow& operator=(const EffectsPopupWindow&) = delete;

    // The host glue's command entry: remembers what the user works on, then carries out the PopupCommand.
    // The result is -1 for every command handled here.
    void RunCommand(int32_t& result, const std::string& project_name, const std::string& comp_name,
                    const std::string& layer_name, int32_t command);

    // Replaces the catalogue, then reads both list files against it; the previous result goes with it.
    void SetEffects(std::vector<EffectEntry> entries);

    // Runs the search for the typed text into the headers and rows of the list.
    void UpdateSearch(std::string_view typed_text);

    // The entry that choosing this one applies: the first override set for it among the aliases.
    const EffectEntry* ResolveOverride(const EffectEntry* chosen) const;

    void AddToList(const EffectEntry* entry, bool blacklist) override;
    void CreateShortcut(const EffectEntry* entry) override;
    void ReplaceShortcut(const EffectEntry* entry, uint64_t slot) override;
    void SetSelectedSlot(EffectSlot* slot) override;

    void LoadSearchFile();
    void LoadShortcutsFile();
    void ReadSearchFile(EffectLists& lists, const qzsdk::path& folder) const;
    void ReadShortcutsFile(EffectLists& lists, const qzsdk::path& folder) const;
    // Each file is replaced whole or not at all; false when either could not be written.
    static bool WriteEffectFiles(const EffectLists& lists, const qzsdk::path& folder);
    bool SaveEffectFiles() const;

    // Fills the table with the built-in themes; the constructor does it before the first theme is applied.
    void BuildThemes();
    // Makes the theme current (theme 0 for an index beyond the table) and applies it; without force the
    // current theme is not applied again.
    void ApplyTheme(uint32_t index, bool force);
    // Never null once the popup is constructed; the table never changes, so the pointer stays valid.
    const EffectsTheme* current_theme() const { return current_theme_; }
    const std::vector<EffectsTheme>& themes() const { return themes_; }

    // Writes "effects_settings" into the folder, creates the capture folder, and with_lists the list files.
    static bool SerializeSettings(const PopupSettings& settings, const EffectLists& lists, const qzsdk::path& folder,
                                  bool with_lists);
    bool SerializeLocalSettings(bool with_lists) const;

    const std::vector<EffectEntry>& entries() const { return entries_; }
    const EffectLists& lists() const { return lists_; }
    const MakerFolders& folders() const { return folders_; }

private:
    friend class EffectsPopupWindowTestApi;

    PopupSettings* settings_;
    MakerFolders folders_;
    std::vector<EffectEntry> entries_;
    EffectLists lists_;
    EffectSearch search_;
    std::string typed_text_;
    bool has_layer_ = false;
    bool has_composition_ = false;
    std::string project_name_;
    std::string comp_name_;
    std::string layer_name_;
    std::vector<ResultLine> result_;
    EffectSlot* selected_slot_ = nullptr;
    std::vector<EffectsTheme> themes_;
    const EffectsTheme* current_theme_ = nullptr;
};
