#pragma once
// What tests read of the popup's catalogue state beyond its public face.
#include "popup/effects_popup_window.h"

class EffectsPopupWindowTestApi {
public:
    explicit EffectsPopupWindowTestApi(const EffectsPopupWindow& popup) : popup_(popup) {}

    const std::vector<ResultLine>& result() const { return popup_.result_; }
    bool has_layer() const { return popup_.has_layer_; }
    const std::string& project_name() const { return popup_.project_name_; }
    const std::string& comp_name() const { return popup_.comp_name_; }
    const std::string& layer_name() const { return popup_.layer_name_; }

private:
    const EffectsPopupWindow& popup_;
};
