#pragma once
#include <memory>
#include <utility>

#include "toolkit/ui/window.h"

namespace qzsdk::ui {

class window_test_api {
public:
    // Returns the renderer it replaces.
    static std::unique_ptr<renderer> exchange_renderer(window& w, std::unique_ptr<renderer> other)
    {
        w.renderer_.swap(other);
        return other;
    }
};

}  // namespace qzsdk::ui
