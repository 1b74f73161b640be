#pragma once
// The modal window in which the user edits copies of the popup's settings and lists. The opener takes the
// copies over only when show_modal returns 1 (OK); clearing the thumbnail cache and exporting act at once.
#include "popup/effect_entry.h"
#include "popup/effects_drop_down.h"
#include "popup/effects_theme.h"
#include "popup/popup_settings.h"
#include "preferences/edit_effect_result.h"
#include "preferences/preferences_effects_scroll_panel.h"
#include "preferences/preferences_list_events.h"
#include "preferences/preferences_record_list.h"
#include "toolkit/ui/check_box.h"
#include "toolkit/ui/drop_down_box.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/window.h"
#include "toolkit/ui/window_move.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class EffectsPopupWindow;
class PreferencesPrompts;

class PreferencesWindow : public qzsdk::ui::window, public PreferencesListEvents {
public:
    // The settings and lists are the caller's copies, edited in place; all references must outlive the window.
    PreferencesWindow(qzsdk::ui::window* owner, const std::vector<EffectsTheme>& themes, PopupSettings& settings,
                      EffectLists& lists, EffectsPopupWindow& popup, PreferencesPrompts& prompts);
    ~PreferencesWindow() override;

    void ApplyTheme(uint32_t color_index, bool force);
    void ExportSettings();
    void ImportSettings();
    bool OnListEvent(const qzsdk::ui::event_info& info) override;

private:
    friend class PreferencesWindowTestApi;

    void OnButtonClick(const qzsdk::ui::event_info& info);
    void OnColorChanged();
    void OnHotkeyChanged();
    void OnPaint();
    void OnDragStart(const qzsdk::ui::event_info& info);
    void OnDragMove();
    void ChooseCaptureFolder();
    void ClearThumbnailCache();
    void ResetSettings();
    // Puts every control back in line with the settings after they were replaced as a whole.
    void ShowSettings();
    void SetCustomItemText();
    // The Choose button's tooltip names the capture folder.
    void ShowCaptureFolder();
    void Tell(std::string_view title, std::string_view text);
    // The window's centre in 96-dpi screen units, where its messages are placed.
    qzsdk::ui::point Centre() const;
    void AttachButton(qzsdk::ui::generic_button& button, const qzsdk::ui::rect& bounds, const char* text);
    void Connect(qzsdk::ui::event_object* source, uint32_t id, void (PreferencesWindow::*handler)());
    void ConnectValueChanged(qzsdk::ui::drop_down_box& box, void (PreferencesWindow::*handler)());

    // The list edits, made on the rows' behalf; each answers whether the row may be gone.
    bool OnShortcutEvent(PreferencesEffectSlot& row, const qzsdk::ui::event_info& info);
    bool OnFavoriteEvent(PreferencesEffectSlot& row, const qzsdk::ui::event_info& info);
    bool OnBlacklistEvent(PreferencesEffectSlot& row, const qzsdk::ui::event_info& info);
    bool OnNewEntryEvent(PreferencesEffectNew& add_row, const qzsdk::ui::event_info& info);
    bool EditShortcut(size_t slot);
    void ClearShortcutSlot(size_t slot);
    // Runs the effect picker; false when it was cancelled.
    bool PickEffect(const std::string& title, const std::string& effect_name, const std::string& label,
                    uint64_t slot_index, bool presets_only, EditEffectResult& answer);

    qzsdk::ui::generic_button ok_;
    qzsdk::ui::generic_button cancel_;
    qzsdk::ui::generic_button clear_;
    qzsdk::ui::generic_button choose_;
    qzsdk::ui::generic_button reset_;
    qzsdk::ui::generic_button export_;
    qzsdk::ui::generic_button import_;
    EffectsDropDown color_box_;
    EffectsDropDown hotkey_box_;
    qzsdk::ui::check_box full_resolution_box_;

    const std::vector<EffectsTheme>& themes_;
    const EffectsTheme* current_theme_ = nullptr;
    int32_t drag_strip_height_ = 30;
    qzsdk::ui::window_move move_;
    uint32_t previous_hotkey_;
    PopupSettings& settings_;
    EffectLists& lists_;
    EffectsPopupWindow& popup_;
    PreferencesPrompts& prompts_;
    ShortcutRecordList shortcut_records_;
    AliasRecordList favourite_records_;
    AliasRecordList blacklist_records_;
    // Last, so that the rows go before the controls and the lists they show.
    std::unique_ptr<PreferencesEffectsScrollPanel> shortcuts_panel_;
    std::unique_ptr<PreferencesEffectsScrollPanel> favourites_panel_;
    std::unique_ptr<PreferencesEffectsScrollPanel> blacklist_panel_;
};
