#pragma once
// The effects popup: the borderless window the hotkey brings up at the cursor, with its search box, round
// buttons, shortcuts bar and result list, over the catalogue state (entries, the user's lists and files,
// the search, themes). It runs no loop of its own: it lives in the host's message loop.
#include "popup/effect_entry.h"
#include "popup/effect_search.h"
#include "popup/effect_slot.h"
#include "popup/effects_popup_interface.h"
#include "popup/effects_scroll_bar.h"
#include "popup/effects_shortcuts_bar.h"
#include "popup/effects_theme.h"
#include "popup/header_slot.h"
#include "popup/maker_folders.h"
#include "popup/news_check_thread.h"
#include "popup/popup_settings.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/generic_panel.h"
#include "toolkit/ui/image_handle.h"
#include "toolkit/ui/input_box.h"
#include "toolkit/ui/window.h"

#include <cstdint>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Timers of the popup's root widget.
namespace popup_timer {
constexpr uint32_t flash = 100;
constexpr uint32_t news_poll = 200;
}  // namespace popup_timer

class GalleryPopupWindow;

// What the host could not do with a screenshot it took.
enum class CaptureFailure { save, copy };

class EffectsPopupWindow : public qzsdk::ui::window, public EffectsPopupInterface {
public:
    // Built hidden. The owner (the host glue's wrapper of the host's main window) and the settings belong
    // to the host glue's state object and outlive the popup. Starts the news check; a missing local
    // settings file is written at once.
    EffectsPopupWindow(qzsdk::ui::window* owner, PopupSettings* settings,
                       MakerFolders folders = MakerFolders::standard(), NewsServer news_server = {});
    ~EffectsPopupWindow() override;
    EffectsPopupWindow(const EffectsPopupWindow&) = delete;
    EffectsPopupWindow& operator=(const EffectsPopupWindow&) = delete;

    // The host glue's command entry: remembers what the user works on, then carries out the PopupCommand.
    // The result is -1 for every command but 7, which answers the news count.
    void RunCommand(int32_t& result, const std::string& project_name, const std::string& comp_name,
                    const std::string& layer_name, int32_t command);

    // Replaces the catalogue, then reads both list files against it; the rows of the last search go with it.
    void SetEffects(std::vector<EffectEntry> entries);

    // Runs the search for the search box's text into the headers and rows of the list.
    void UpdateSearch();
    // Enter in the search box: applies the selected row.
    void ApplySelection();
    void OnSlotActivated(const qzsdk::ui::event_info& info);
    void Hide();

    // The entry that choosing this one applies: the first override set for it among the aliases.
    const EffectEntry* ResolveOverride(const EffectEntry* chosen) const;

    void AddToList(const EffectEntry* entry, bool blacklist) override;
    void CreateShortcut(const EffectEntry* entry) override;
    void ReplaceShortcut(const EffectEntry* entry, uint64_t slot) override;
    void SetSelectedSlot(EffectSlot* slot) override;

    void TakeScreenshot();
    void ShowExportMenu();
    // The host could not save or copy the screenshot just asked for: the popup says so once the command
    // returns.
    void ReportFailedCapture(CaptureFailure failure) { capture_failure_ = failure; }
    // A screenshot the host wrote into the capture folder in the background has been written (the flash, and
    // a visible gallery shows it) or could not be (told).
    void CaptureStored(bool written);
    // The gallery and the preferences windows are connected here.
    void ShowGallery();
    void ShowPreferences();
    void OpenNewsPage();

    void LoadSearchFile();
    void LoadShortcutsFile();
    void ReadSearchFile(EffectLists& lists, const qzsdk::path& folder) const;
    void ReadShortcutsFile(EffectLists& lists, const qzsdk::path& folder) const;
    // Each file is replaced whole or not at all; false when either could not be written.
    static bool WriteEffectFiles(const EffectLists& lists, const qzsdk::path& folder);
    bool SaveEffectFiles() const;
    // The host's death hook: the last save of the lists, so a failure that loses changes is told rather than
    // lost unseen. Lists a file cannot take lose nothing while reading it again gives them all the same: a
    // user who keeps read-only lists is not told at every quit.
    void SaveEffectFilesAndTell();
    // After a save the user asked for: says once per file that an unread file was left as it was.
    void TellUnreadFiles();
    // Saves the settings and both lists, and tells the user when they could not be written.
    void SaveAndTell();

    // Makes the theme current (theme 0 for an index beyond the table) and applies it to the skin and the
    // popup's widgets; without force the current theme is not applied again.
    void ApplyTheme(uint32_t index, bool force);
    // Never null once the popup is constructed; the table never changes, so the pointer stays valid.
    const EffectsTheme* current_theme() const { return current_theme_; }
    const std::vector<EffectsTheme>& themes() const { return themes_; }

    // Writes "effects_settings" into the folder, creates the capture folder, and with_lists the list files.
    // False when a file could not be written; one left alone because it could not be read is no failure.
    static bool SerializeSettings(const PopupSettings& settings, const EffectLists& lists, const qzsdk::path& folder,
                                  bool with_lists);
    bool SerializeLocalSettings(bool with_lists) const;
    // Ends the news check now (the host's death hook); the destructor does it too.
    void StopNewsCheck() { news_.Stop(); }

    const std::vector<EffectEntry>& entries() const { return entries_; }
    const EffectLists& lists() const { return lists_; }
    const MakerFolders& folders() const { return folders_; }
    // Null until the gallery was first opened.
    GalleryPopupWindow* gallery() { return gallery_.get(); }
    int32_t news_count() const { return news_count_; }

    bool preview_input(const qzsdk::ui::input_record& record) override;

private:
    friend class EffectsPopupWindowTestApi;

    // The built-in themes; only the table's initialiser calls it, so the table cannot be rebuilt.
    static std::vector<EffectsTheme> BuildThemes();
    void BuildButtons();
    void BuildList();
    void OnFocusGained();
    void OnChar();
    void OnKeyDown(const qzsdk::ui::event_info& info);
    void OnListKey(const qzsdk::ui::event_info& info);
    void OnTimer(const qzsdk::ui::event_info& info);
    void OnButton(const qzsdk::ui::event_info& info);
    void OnShortcutButton(const qzsdk::ui::event_info& info);
    void OnPaint();
    using ListReader = void (EffectsPopupWindow::*)(EffectLists&, const qzsdk::path&) const;
    // Writes one list file for the death hook; true when changes are lost: the file could not be written, was
    // not left alone as unread, and reading it again gives other lists.
    bool SaveListLosesChanges(const wchar_t* name, std::string (*text)(const EffectLists&), ListReader read) const;
    // A modal warning centred on the popup.
    void Warn(const char* title, const std::string& text);
    void Show();
    void PlaceAtCursor();
    void FitToContent();
    // The list's widgets placed for the found rows; answers the window height they need.
    int32_t LayOutList();
    // The native window takes that height, and is moved only when its size changes.
    void ResizeToList(int32_t height);
    // Fires 38 with the entry after the override rule, then hides; nothing of the caller is touched after.
    void Choose(const EffectEntry* chosen);
    void ApplyShortcut(size_t slot);
    std::vector<std::string> CollectShortcuts() const;
    bool AnyShortcut() const;
    void ThemeWidgets();
    void ScrollRowIntoView(size_t index);
    // Fires 44 with the screenshot command and tells the failure the host reported for it.
    void RequestCapture(uint64_t command);
    void TellCaptureFailure(CaptureFailure failure);

    // The found rows, effects then presets, by index.
    size_t RowCount() const { return found_.effects.size() + found_.presets.size(); }
    const EffectEntry* RowEntry(size_t index) const;
    bool RowFromAlias(size_t index) const;
    // The row's top in the list panel, below the headers above it.
    int32_t RowTop(size_t index) const;
    // Only the rows in view are widgets: a few pooled rows are bound to the found rows the view shows.
    void BuildRowPool();
    // Forgets which found row each pooled row shows, as a new result begins.
    void UnbindRows();
    void ShowRowsInView();
    void Select(size_t index);
    EffectSlot* RowWidget(size_t index) const;
    void OnRowMoved(const qzsdk::ui::event_info& info);
    void OnRowCrossed(const qzsdk::ui::event_info& info);

    PopupSettings* settings_;
    MakerFolders folders_;
    std::vector<EffectEntry> entries_;
    EffectLists lists_;
    EffectSearch search_;
    bool has_layer_ = false;
    bool has_composition_ = false;
    std::string project_name_;
    std::string comp_name_;
    std::string layer_name_;
    SearchResult found_;
    static constexpr size_t no_row = SIZE_MAX;
    size_t selected_ = no_row;
    // Whether the selected row is drawn highlighted: the pointer leaving it clears that, not the selection.
    bool selected_lit_ = false;
    // The separator under the search box is drawn in the list's colour.
    bool list_line_shown_ = false;
    // Built once with the popup and never changed: other windows hold pointers into it.
    const std::vector<EffectsTheme> themes_ = BuildThemes();
    const EffectsTheme* current_theme_ = nullptr;

    qzsdk::ui::rect bounds_units_{0, 0, 397, 68};
    qzsdk::ui::rect top_area_{0, 0, 397, 45};
    int32_t max_list_height_ = 231;
    float flash_ = 0.0f;
    // The hotkey's key while it is still held from opening the popup: its repeats and their characters
    // are not typed text. Cleared when it is released.
    uint32_t held_hotkey_ = 0;
    std::optional<CaptureFailure> capture_failure_;
    bool drop_character_ = false;
    bool busy_ = false;
    int32_t news_count_ = -1;
    NewsServer news_server_;
    NewsCheckThread news_;

    qzsdk::ui::generic_panel list_container_;
    // As tall as every found row; scrolled inside the container.
    qzsdk::ui::widget list_panel_;
    qzsdk::ui::input_box search_box_;
    EffectsScrollBar scroll_bar_;
    qzsdk::ui::generic_button screenshot_button_;
    qzsdk::ui::generic_button export_button_;
    qzsdk::ui::generic_button gallery_button_;
    qzsdk::ui::generic_button settings_button_;
    qzsdk::ui::generic_button news_button_;
    qzsdk::ui::generic_button badge_button_;
    EffectsShortcutsBar shortcuts_bar_;
    qzsdk::ui::image_handle search_icon_;

    // Made on first use; a member, so it goes before the popup's own window.
    std::unique_ptr<GalleryPopupWindow> gallery_;

    // "Effects" or "No Matches" at the top, "Presets" above the first preset; shown as the result needs.
    HeaderSlot effects_header_{"Effects", {}};
    HeaderSlot presets_header_{"Presets", {}};
    // The pool, never destroyed before the popup, so a row may rebuild the list from its own handler.
    std::vector<std::unique_ptr<EffectSlot>> rows_;
    // The found row each pooled row shows, or no_row.
    std::vector<size_t> row_shown_;
    // Bound to another entry since the pointer last crossed it: the next move over it counts as entering.
    std::vector<uint8_t> row_fresh_;
};
