#pragma once
// What tests read of the state object beyond its public face.
#include "host/effects_popup.h"

class EffectsPopupTestApi {
public:
    explicit EffectsPopupTestApi(const EffectsPopup& state) : state_(state) {}

    const std::optional<EffectEntry>& pending_choice() const { return state_.pending_choice_; }

private:
    const EffectsPopup& state_;
};
