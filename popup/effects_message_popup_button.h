#pragma once
// The flat "Yes" / "No" button of the message popup: no border, the label's colour shows the state.
#include "toolkit/ui/generic_button.h"

class EffectsMessagePopupButton : public qzsdk::ui::generic_button {
protected:
    void on_paint() override;
};
