#include "tests/gallery/gallery_window_fixture.h"

#include "tests/gallery/gallery_test_files.h"

namespace gallery_test {

void gallery_window::SetUp()
{
    window_test::SetUp();
    clear_thumbnail_cache();
    int64_t time = 1700000000;
    for (const wchar_t* name : {L"a.PNG", L"b.Jpg", L"c.png", L"d.png"}) {
        write_image(folder / name, 320, 180);
        set_modified(folder / name, time += 10);
    }
    write_truncated_png(folder / L"cut.png");
    qzsdk::test::write_bytes(folder / L"noise.jpg", "garbage");
    write_image(folder / L"e.jpeg", 32, 32);
    qzsdk::test::write_bytes(folder / L"f.bmp", "BM");
    qzsdk::test::make_folder(folder / L"x.png");
    capture = folder.get().to_utf8();
    gallery = std::make_unique<GalleryPopupWindow>(&window, &themes[0], capture);
}

void gallery_window::TearDown()
{
    gallery.reset();
    clear_thumbnail_cache();
    window_test::TearDown();
}

void gallery_window::send(POINT at, UINT message, WPARAM flags)
{
    POINT screen = at;
    ClientToScreen(gallery->handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    qzsdk::test::pump_messages();
    SendMessageW(gallery->handle(), message, flags, MAKELPARAM(at.x, at.y));
}

void gallery_window::click(const qzsdk::ui::widget& target, UINT down, UINT up)
{
    send(api().centre_of(target), down);
    if (up)
        send(api().centre_of(target), up);
}

void gallery_window::show(size_t theme)
{
    gallery->ShowGallery(&themes[theme]);
    api().settle();
}

void gallery_window::show_in_front(size_t theme)
{
    show(theme);
    SetWindowPos(gallery->handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(gallery->handle());
    qzsdk::test::pump_until([this] { return GetForegroundWindow() == gallery->handle(); });
}

void gallery_window::rescan()
{
    gallery->Rescan();
    api().settle();
}

POINT gallery_window::on_screen(POINT client) const
{
    POINT screen{gallery->holder().to_pixels_x(client.x), gallery->holder().to_pixels_y(client.y)};
    ClientToScreen(gallery->handle(), &screen);
    return screen;
}

POINT gallery_window::on_screen(const qzsdk::ui::widget& target)
{
    return on_screen(api().centre_of(target));
}

void gallery_window::add_images(int count)
{
    for (int i = 0; i < count; ++i) {
        const qzsdk::path file = folder / (L"many" + std::to_wstring(i) + L".png").c_str();
        write_image(file, 32, 18);
        set_modified(file, 1600000000 - i);
    }
}

}  // namespace gallery_test
