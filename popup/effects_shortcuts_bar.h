#pragma once
// The bar of numbered buttons for the filled shortcut slots, under the popup's search box.
#include "popup/effect_entry.h"
#include "popup/effects_shorcut_button.h"
#include "popup/effects_theme.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/generic_panel.h"

#include <memory>
#include <vector>

class EffectsShortcutsBar : public qzsdk::ui::generic_panel {
public:
    // Each button's mouse down goes to the handler, bound to the listener (the popup).
    EffectsShortcutsBar(qzsdk::ui::event_object* listener, qzsdk::ui::event_handler on_press);
    ~EffectsShortcutsBar() override;

    // One button per filled slot, numbered in order; gaps are skipped.
    void Rebuild(const EffectShortcuts& slots, const EffectsTheme* theme);
    const std::vector<std::unique_ptr<EffectsShorcutButton>>& buttons() const { return buttons_; }

protected:
    void on_paint() override;

private:
    void DestroyButtons();

    qzsdk::ui::event_object* listener_;
    qzsdk::ui::event_handler on_press_;
    std::vector<std::unique_ptr<EffectsShorcutButton>> buttons_;
};
