#pragma once
#include <iterator>
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
    // Whether every repaint after the window's last new render target has been asked for: none comes on
    // its own any more.
    static bool repaints_again_over(const window& w)
    {
        return w.repaints_asked_ > std::size(window::repaint_again_later_ms);
    }
};

}  // namespace qzsdk::ui
