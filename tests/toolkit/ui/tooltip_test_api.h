#pragma once
#include "toolkit/ui/tooltip.h"

namespace qzsdk::ui {

class tooltip_test_api {
public:
    static tooltip* of(const window& owner) { return owner.tooltip_.get(); }
    static const std::string& title(const tooltip& tip) { return tip.title_; }
    static const std::string& text(const tooltip& tip) { return tip.text_; }
    static text_extent content_size(const tooltip& tip) { return tip.content_size_; }
    static std::vector<tooltip_region> regions(const window& owner, widget* target)
    {
        auto found = owner.tooltips_.find(target);
        return found == owner.tooltips_.end() ? std::vector<tooltip_region>{} : found->second;
    }
};

}  // namespace qzsdk::ui
