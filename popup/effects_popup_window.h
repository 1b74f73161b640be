#pragma once
// The effects popup's catalogue: the entries from the host, the user's lists and their files, the search
// over them and the choice of an entry. The window around it is built on top of this state.
#include "popup/effect_entry.h"
#include "popup/effect_search.h"
#include "popup/effects_popup_interface.h"
#include "popup/maker_folders.h"
#include "popup/popup_settings.h"

#include <string>
#include <string_view>
#include <vector>

class EffectsPopupWindow : public EffectsPopupInterface {
public:
    // The settings belong to the host glue's state object and outlive the popup.
    explicit EffectsPopupWindow(PopupSettings* settings, MakerFolders folders = MakerFolders::standard());
    virtual ~EffectsPopupWindow() = default;
    EffectsPopupWindow(const EffectsPopupWindow&) = delete;
    EffectsPopupWindow& operator=(const EffectsPopupWindow&) = delete;

    // Replaces the catalogue, then reads both list files against it; the previous result goes with it.
    void SetEffects(std::vector<EffectEntry> entries);

    // Runs the search for the typed text; its headers and rows are then in result().
    void UpdateSearch(std::string_view typed_text);

    // The entry that choosing this one applies: the first override set for it among the aliases.
    const EffectEntry* ResolveOverride(const EffectEntry* chosen) const;

    void AddToList(const EffectEntry* entry, bool blacklist) override;
    void CreateShortcut(const EffectEntry* entry) override;
    void ReplaceShortcut(const EffectEntry* entry, uint64_t slot) override;

    void LoadSearchFile();
    void LoadShortcutsFile();
    void ReadSearchFile(EffectLists& lists, const qzsdk::path& folder) const;
    void ReadShortcutsFile(EffectLists& lists, const qzsdk::path& folder) const;
    // Each file is replaced whole or not at all; false when either could not be written.
    static bool WriteEffectFiles(const EffectLists& lists, const qzsdk::path& folder);
    bool SaveEffectFiles() const;

    // Writes "effects_settings" into the folder, creates the capture folder, and with_lists the list files.
    static bool SerializeSettings(const PopupSettings& settings, const EffectLists& lists, const qzsdk::path& folder,
                                  bool with_lists);
    bool SerializeLocalSettings(bool with_lists) const;

    const std::vector<EffectEntry>& entries() const { return entries_; }
    const EffectLists& lists() const { return lists_; }
    const std::vector<ResultLine>& result() const { return result_; }
    const MakerFolders& folders() const { return folders_; }

private:
    PopupSettings* settings_;
    MakerFolders folders_;
    std::vector<EffectEntry> entries_;
    EffectLists lists_;
    EffectSearch search_;
    std::string typed_text_;
    std::vector<ResultLine> result_;
};

extern const wchar_t* const search_file_name;
extern const wchar_t* const shortcuts_file_name;
extern const wchar_t* const settings_file_name;
