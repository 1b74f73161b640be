// The gallery's two right-click menus and the export menu under real input: what they offer, copying, revealing
// and saving, also when the picture timer drops a thumbnail or replaces a picture while a menu or dialog is open.
#include "gallery/capture_decoder.h"
#include "standin/input.h"
#include "standin/open_menu.h"
#include "tests/gallery/gallery_test_api.h"
#include "tests/gallery/gallery_test_files.h"
#include "tests/gallery/gallery_window_fixture.h"
#include "tests/gallery/popup_answer.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/key_state.h"
#include "tests/support/modal_script.h"
#include "tests/support/real_mouse.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/shell.h"

#include <gtest/gtest.h>

#include <optional>

using namespace qzsdk::ui;
using namespace gallery_test;
using namespace qzsdk::test;
using qzsdk::test::dialog_driver;

namespace {

bool menu_open()
{
    return !standin::open_menu_windows().empty();
}

// The items of the open menu that can be chosen.
std::vector<std::wstring> enabled_items()
{
    std::vector<std::wstring> enabled;
    const HWND menu = standin::open_menu_windows().front();
    for (const std::wstring& text : standin::menu_item_texts(menu))
        if (standin::menu_item_rect(menu, text))
            enabled.push_back(text);
    return enabled;
}

// Clicks an item of the open menu as the mouse would.
std::function<void()> choose(std::wstring text)
{
    return [text] {
        const std::optional<RECT> item = standin::menu_item_rect(standin::open_menu_windows().front(), text);
        ASSERT_TRUE(item) << "no enabled item " << qzsdk::path(text).to_utf8();
        standin::send_click((item->left + item->right) / 2, (item->top + item->bottom) / 2);
    };
}

bool dialog_open()
{
    const HWND dialog = FindWindowW(L"#32770", nullptr);
    return dialog && IsWindowVisible(dialog);
}

void empty_clipboard()
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

// The pixel size of the picture on the clipboard; zero when there is none.
SIZE clipboard_picture()
{
    SIZE size{};
    if (!OpenClipboard(nullptr))
        return size;
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
        size = SIZE{header->biWidth, std::abs(header->biHeight)};
        GlobalUnlock(data);
    }
    CloseClipboard();
    return size;
}

class gallery_menus : public gallery_window {
protected:
    void SetUp() override
    {
        gallery_window::SetUp();
        empty_clipboard();
        previous_launcher_ =
            qzsdk::set_shell_launcher([this](const qzsdk::shell_request& request) { revealed.push_back(request.parameters); });
    }
    void TearDown() override
    {
        qzsdk::set_shell_launcher(std::move(previous_launcher_));
        gallery_window::TearDown();
    }
    GalleryThumbnail& thumbnail(const wchar_t* name) { return *api().find(folder / name); }
    void right_click(const widget& target) { real_click(on_screen(target), true); }
    // The loader's answer that the file's thumbnail picture could not be made.
    void fail_thumbnail(const wchar_t* name)
    {
        GalleryThumbnail& failing = thumbnail(name);
        api().arrive({{PictureLoader::Purpose::thumbnail, failing.GetPath(), failing.Time(), {}, 0}, {}});
    }
    static std::wstring reveal_of(const qzsdk::path& file) { return L"/select,\"" + file.wide() + L"\""; }

    std::vector<std::wstring> revealed;

private:
    qzsdk::shell_launcher previous_launcher_;
};

const std::vector<std::wstring> all_items{L"Copy to Clipboard", L"Save to PNG", L"Save to JPG", L"Delete",
                                          L"Open in Explorer"};

}  // namespace

TEST_F(gallery_menus, ListAndPreviewMenusOfferWhatTheSelectionAllowsAndRevealTheFile)
{
    show_in_front();
    std::vector<std::wstring> offered;
    {
        modal_steps steps({{menu_open, [&] { offered = enabled_items(); }}, {menu_open, choose(L"Open in Explorer")}});
        right_click(thumbnail(L"d.png"));
        EXPECT_TRUE(steps.finished());
    }
    EXPECT_EQ(offered, all_items);
    EXPECT_EQ(revealed, std::vector<std::wstring>{reveal_of(folder / L"d.png")});

    // Two selected: nothing to copy or reveal; a press elsewhere closes the menu and does nothing.
    {
        key_state keys;
        keys.press(VK_LCONTROL);
        click(thumbnail(L"c.png"));
    }
    {
        modal_steps steps({{menu_open, [&] { offered = enabled_items(); }}, {menu_open, [] { EndMenu(); }}});
        right_click(thumbnail(L"c.png"));
        EXPECT_TRUE(steps.finished());
    }
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"Save to PNG", L"Save to JPG", L"Delete"}));
    EXPECT_EQ(api().selected_names(), (names{"d.png", "c.png"}));

    // A preview cell's menu acts on its own file.
    api().settle();
    image_panel& cell = *GalleryTestApi::panels(api().preview())[1];
    {
        modal_steps steps({{menu_open, [&] { offered = enabled_items(); }}, {menu_open, choose(L"Open in Explorer")}});
        right_click(cell);
        EXPECT_TRUE(steps.finished());
    }
    EXPECT_EQ(offered, all_items);
    EXPECT_EQ(revealed.back(), reveal_of(folder / L"c.png"));
    EXPECT_EQ(api().selected_names(), (names{"d.png", "c.png"}));
}

TEST_F(gallery_menus, CopyTakesTheFileAtFullSizeBeforeItsPreviewIsMadeAndTellsWhenItCannot)
{
    write_image(folder / L"big.png", 1600, 900);
    show_in_front();
    // The right click selects b.Jpg: its preview is still being made when the menu opens.
    {
        modal_steps steps({{menu_open, choose(L"Copy to Clipboard")}});
        right_click(thumbnail(L"b.Jpg"));
        EXPECT_TRUE(steps.finished());
    }
    EXPECT_EQ(api().selected_names(), (names{"b.Jpg"}));
    EXPECT_EQ(clipboard_picture().cx, 320);

    // The Copy button pressed at once after a click, with no picture in the preview yet.
    empty_clipboard();
    auto press = [this](const widget& target) {
        const POINT at = api().centre_of(target);
        SetCursorPos(on_screen(target).x, on_screen(target).y);
        SendMessageW(gallery->handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageW(gallery->handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    };
    press(thumbnail(L"big.png"));
    ASSERT_EQ(GalleryTestApi::panels(api().preview())[0]->image.get(), nullptr);
    press(api().copy_button());
    EXPECT_EQ(clipboard_picture().cx, 1600);
    EXPECT_EQ(clipboard_picture().cy, 900);

    // A file gone behind the gallery's back cannot be copied: that is told, the clipboard keeps what it had.
    ASSERT_TRUE(qzsdk::remove_file(folder / L"big.png"));
    popup_answer told(L"Failed to Copy");
    click(api().copy_button());
    EXPECT_EQ(told.answered(), 1);
    EXPECT_EQ(clipboard_picture().cx, 1600);
}

TEST_F(gallery_menus, AThumbnailDroppedWhileItsMenuIsOpenIsLookedUpAgainAndLeftAlone)
{
    show_in_front();
    dialog_driver dialogs(dialog_driver::answer::cancel);
    {
        // The loader reports b.Jpg unreadable while its menu is open; the picture tick drops its thumbnail.
        modal_steps steps({{menu_open, [&] { fail_thumbnail(L"b.Jpg"); }},
                           {[&] { return !api().find(folder / L"b.Jpg"); }, choose(L"Save to PNG")}});
        right_click(thumbnail(L"b.Jpg"));
        EXPECT_TRUE(steps.finished());
    }
    EXPECT_TRUE(dialogs.titles().empty());
    EXPECT_EQ(api().names(), (names{"d.png", "c.png", "a.PNG"}));
}

TEST_F(gallery_menus, ACellPictureReplacedWhileItsMenuIsOpenStillCopiesTheCellsFile)
{
    write_image(folder / L"big.png", 1600, 900);
    show_in_front();
    image_panel& cell = *GalleryTestApi::panels(api().preview())[0];
    ASSERT_TRUE(cell.image);
    const image* fitted = cell.image.get();
    ASSERT_LT(fitted->width(), 1600u);
    write_image(folder / L"tiny.png", 8, 8);
    DecodedCapture replacement = DecodeCaptureFile(folder / L"tiny.png", [](PixelSize full) { return full; });
    ASSERT_TRUE(replacement.picture);
    {
        // A full-size picture arrives for the cell while its menu is open, and the fitted one is freed.
        modal_steps steps(
            {{menu_open,
              [&] {
                  api().arrive({{PictureLoader::Purpose::full, folder / L"big.png", 0, {},
                                 GalleryTestApi::cell_tag(api().preview(), 0)},
                                std::move(replacement)});
              }},
             {[&] { return cell.image.get() != fitted; }, choose(L"Copy to Clipboard")}});
        right_click(cell);
        EXPECT_TRUE(steps.finished());
    }
    EXPECT_EQ(clipboard_picture().cx, 1600);
}

TEST_F(gallery_menus, ABatchSaveLeavesOutAThumbnailDroppedWhileItsFolderDialogIsOpen)
{
    show_in_front();
    {
        key_state keys;
        keys.press(VK_LCONTROL);
        click(thumbnail(L"c.png"));
    }
    temp_folder out;
    std::optional<dialog_driver> dialogs;
    modal_steps steps({{menu_open, choose(L"Save as PNG")},
                       {dialog_open, [&] { fail_thumbnail(L"c.png"); }},
                       {[&] { return !api().find(folder / L"c.png"); },
                        [&] { dialogs.emplace(dialog_driver::answer::ok, out.get().wide()); }}});
    real_click(on_screen(api().export_button()));
    EXPECT_TRUE(steps.finished());
    ASSERT_TRUE(dialogs);
    EXPECT_EQ(dialogs->titles(), std::vector<std::wstring>{L"Select Folder"});
    EXPECT_EQ(read_bytes(out / L"d.png").substr(1, 3), "PNG");
    EXPECT_EQ(read_bytes(out / L"c.png"), "<missing>");
}

TEST_F(gallery_menus, AfterTheSaveDialogTheGalleryHasTheKeyboardAgainNotTheHost)
{
    // As in the host: the gallery is owned by the host's main window, which also owns the save dialog.
    qzsdk::ui::window host;
    host.create("host", rect{0, 0, 400, 300}, window_style::borderless);
    ShowWindow(host.handle(), SW_SHOW);
    qzsdk::ui::window popup;
    popup.set_owner(&host);
    popup.create("popup", rect{0, 0, 100, 100}, window_style::borderless);
    gallery = std::make_unique<GalleryPopupWindow>(&popup, &themes[0], capture);
    show_in_front();
    temp_folder out;
    dialog_driver dialogs(dialog_driver::answer::ok, (out / L"d.png").wide());
    modal_steps steps({{menu_open, choose(L"Save as PNG")}});
    click(api().export_button());
    EXPECT_EQ(dialogs.titles(), std::vector<std::wstring>{L"Save to PNG"});
    EXPECT_EQ(read_bytes(out / L"d.png").substr(1, 3), "PNG");
    EXPECT_TRUE(pump_until([this] { return GetForegroundWindow() == gallery->handle(); }));
    gallery.reset();
}
