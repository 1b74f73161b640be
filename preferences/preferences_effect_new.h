#pragma once
// The last row of the favourites and blacklist panels: a click adds an effect to the list.
#include "popup/effects_theme.h"
#include "preferences/preferences_row_geometry.h"
#include "toolkit/ui/event_info.h"
#include "toolkit/ui/widget.h"

class PreferencesEffectsScrollPanel;
class PreferencesListEvents;

class PreferencesEffectNew : public qzsdk::ui::widget {
public:
    PreferencesEffectNew(const EffectsTheme* theme, PreferencesEffectsScrollPanel* panel, PreferencesListEvents* owner,
                         PreferencesColumns columns);
    ~PreferencesEffectNew() override;
    void ApplyTheme(const EffectsTheme* theme);
    PreferencesEffectsScrollPanel* panel() const { return panel_; }

private:
    void OnAttached();
    void OnPaint();
    void OnMouseUp(const qzsdk::ui::event_info& info);

    const EffectsTheme* theme_;
    PreferencesEffectsScrollPanel* panel_;
    PreferencesListEvents* owner_;
    PreferencesColumns columns_;
    bool hovered_ = false;
    bool pressed_ = false;
};
