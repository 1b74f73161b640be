#pragma once
// The effect picker and shortcut-label editor. With an empty initial label it is a small copy of the
// effects popup: a search field over the catalogue, result rows under their headers, arrow keys and Enter;
// choosing a row answers the entry with a three-letter label. With a label it only edits that label.
#include "popup/effect_entry.h"
#include "popup/effect_search.h"
#include "popup/effect_slot.h"
#include "popup/effects_popup_interface.h"
#include "popup/effects_scroll_bar.h"
#include "popup/effects_theme.h"
#include "popup/header_slot.h"
#include "preferences/edit_effect_result.h"
#include "toolkit/ui/flow_panel.h"
#include "toolkit/ui/generic_button.h"
#include "toolkit/ui/generic_panel.h"
#include "toolkit/ui/image_handle.h"
#include "toolkit/ui/input_box.h"
#include "toolkit/ui/window.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PreferencesEditEffectPopup : public qzsdk::ui::window, public EffectsPopupInterface {
public:
    // The lists must outlive the popup; presets_only leaves the effects out of the results.
    PreferencesEditEffectPopup(qzsdk::ui::window* owner, const std::string& title, const std::string& effect_name,
                               const std::string& initial_label, const std::vector<EffectEntry>* entries,
                               const std::vector<EffectAlias>* aliases, const std::vector<EffectAlias>* blacklist,
                               uint64_t slot_index, const EffectsTheme* theme, bool presets_only);
    ~PreferencesEditEffectPopup() override;

    // Meaningful after the popup ended with 1.
    EditEffectResult GetResult() const { return result_; }
    void ApplyTheme(const EffectsTheme* theme);
    void UpdateSearch();

    // The rows' context menu offers nothing that could change a list from here.
    void AddToList(const EffectEntry*, bool) override {}
    void CreateShortcut(const EffectEntry*) override {}
    void ReplaceShortcut(const EffectEntry*, uint64_t) override {}
    void SetSelectedSlot(EffectSlot* slot) override;

    const std::vector<std::unique_ptr<EffectSlot>>& rows() const { return rows_; }
    EffectSlot* selected_slot() const { return selected_slot_; }
    bool search_mode() const { return search_mode_; }

    qzsdk::ui::input_box search_input;
    qzsdk::ui::input_box label_input;
    qzsdk::ui::generic_button ok_button;
    qzsdk::ui::generic_button cancel_button;

private:
    void OnPaint();
    void OnResult(const qzsdk::ui::event_info& info);
    void OnRowEvent(const qzsdk::ui::event_info& info);
    void OnArrowKey(const qzsdk::ui::event_info& info);
    void AcceptSelection();
    void ScrollRowIntoView(size_t index);
    void FitToContent();

    EffectSlot* selected_slot_ = nullptr;
    const EffectsTheme* theme_;
    qzsdk::ui::image_handle search_icon_;
    const std::vector<EffectEntry>* entries_;
    const std::vector<EffectAlias>* aliases_;
    const std::vector<EffectAlias>* blacklist_;
    EffectSearch search_;
    qzsdk::ui::generic_panel list_panel_;
    qzsdk::ui::flow_panel list_content_{qzsdk::ui::flow_panel::vertical, true, true, true};
    EffectsScrollBar list_scroll_bar_;
    std::unique_ptr<HeaderSlot> effects_header_;
    std::unique_ptr<HeaderSlot> presets_header_;
    std::vector<std::unique_ptr<EffectSlot>> rows_;
    uint64_t slot_index_;
    bool search_mode_;
    bool presets_only_;
    EditEffectResult result_;
};
