#pragma once
// A picture of the default skin for a visual check: widget faces in the skin's colours, text in its fonts and
// its three embedded images. Paint it in any renderer (a window's paint handler, or off screen).
#include <string>

#include "toolkit/ui/image.h"
#include "toolkit/ui/property_bag.h"
#include "toolkit/ui/rect.h"
#include "toolkit/ui/renderer.h"

namespace qzsdk::showcase {

class skin_showcase {
public:
    static constexpr ui::rect area{0, 0, 360, 210};
    // Where the images land, for pixel checks.
    static constexpr ui::point dropdown_arrow{255, 79};
    static constexpr ui::point scroll_arrow_up{308, 69};
    static constexpr ui::point checkbox_checked{16, 108};

    skin_showcase();
    void paint(ui::renderer& r);

private:
    void button(ui::renderer& r, const ui::rect& face, const char* color_key, const char* text);
    void text(ui::renderer& r, const char* family_prefix, const ui::rect& box, const char* words,
              const char* color_key);
    void outline(ui::renderer& r, const ui::rect& box, const char* color_key);

    ui::property_bag skin_;
    ui::image checkbox_, dropdown_, arrow_;
};

}  // namespace qzsdk::showcase
