#pragma once
// A gallery window over a capture folder with four good images (newest d.png) and files it must not list or
// show, with helpers that drive it by messages or by real input.
#include "gallery/gallery_popup_window.h"
#include "tests/gallery/gallery_window_test_api.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"

#include <memory>
#include <string>
#include <vector>

namespace gallery_test {

class gallery_window : public qzsdk::test::window_test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Mouse messages at a client point of the gallery, with the cursor placed there first.
    void send(POINT at, UINT message, WPARAM flags = 0);
    void click(const qzsdk::ui::widget& target, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP);
    void key(WPARAM code) { SendMessageW(gallery->handle(), WM_KEYDOWN, code, 0); }
    void show(size_t theme = 0);
    // Shown in front with the focus, for real input.
    void show_in_front(size_t theme = 0);
    void rescan();
    GalleryWindowTestApi api() { return GalleryWindowTestApi(*gallery); }
    // The screen pixel at a client point (96-dpi units) of the gallery.
    POINT on_screen(POINT client) const;
    POINT on_screen(const qzsdk::ui::widget& target);
    // Images named many0.png, many1.png, ... older than the four, in that order.
    void add_images(int count);

    std::vector<EffectsTheme> themes = build_effects_themes();
    qzsdk::test::temp_folder folder;
    std::string capture;
    std::unique_ptr<GalleryPopupWindow> gallery;
};

using names = std::vector<std::string>;

}  // namespace gallery_test
