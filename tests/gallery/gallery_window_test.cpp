#include "gallery/gallery_popup_window.h"

#include <gtest/gtest.h>
#include <windowsx.h>

#include "tests/gallery/gallery_test_files.h"
#include "tests/gallery/gallery_window_test_api.h"
#include "tests/gallery/popup_answer.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/key_state.h"
#include "tests/support/menu_driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "tests/toolkit/ui/event_manager_test_api.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/shell.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::ui::event_manager_test_api;
using namespace gallery_test;
using qzsdk::test::dialog_driver;

namespace {

// A capture folder with four good images (newest d.png) and files the gallery must not list or show.
class gallery_window : public qzsdk::test::window_test {
protected:
    void SetUp() override
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
    void TearDown() override
    {
        gallery.reset();
        clear_thumbnail_cache();
        window_test::TearDown();
    }

    void click(GalleryThumbnail* thumbnail, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP)
    {
        const POINT at = api().centre_of(*thumbnail);
        place_gallery_cursor(at);
        SendMessageW(gallery->handle(), down, 0, MAKELPARAM(at.x, at.y));
        if (up)
            SendMessageW(gallery->handle(), up, 0, MAKELPARAM(at.x, at.y));
    }
    void place_gallery_cursor(POINT client)
    {
        ClientToScreen(gallery->handle(), &client);
        SetCursorPos(client.x, client.y);
        qzsdk::test::pump_messages();
    }
    void key(WPARAM code) { SendMessageW(gallery->handle(), WM_KEYDOWN, code, 0); }
    void show(size_t theme = 0)
    {
        gallery->ShowGallery(&themes[theme]);
        api().settle();
    }
    void rescan()
    {
        gallery->Rescan();
        api().settle();
    }
    GalleryWindowTestApi api() { return GalleryWindowTestApi(*gallery); }

    std::vector<EffectsTheme> themes = build_effects_themes();
    qzsdk::test::temp_folder folder;
    std::string capture;
    std::unique_ptr<GalleryPopupWindow> gallery;
};

using names = std::vector<std::string>;

}  // namespace

TEST_F(gallery_window, ScanListsImagesNewestFirstAndSkipsWhatItCannotShow)
{
    qzsdk::test::event_log log;
    log.listen(gallery.get(), "gallery", {event_id::shown, event_id::hidden});
    {
        qzsdk::test::key_state keys;
        keys.press(VK_LSHIFT);  // held while the gallery opens: the scan's selection is not a Shift+click
        show();
    }
    EXPECT_TRUE(IsWindowVisible(gallery->handle()));
    EXPECT_EQ(api().names(), (names{"d.png", "c.png", "b.Jpg", "a.PNG"}));
    EXPECT_EQ(api().selected_names(), (names{"d.png"}));
    EXPECT_EQ(api().preview().Paths().size(), 1u);
    EXPECT_TRUE(api().copy_button().is_visible(false));
    EXPECT_EQ(api().export_button().badge(), "");

    // Kept thumbnails survive a scan; vanished files lose theirs; new files gain one.
    GalleryThumbnail* kept = api().column()[1];
    ASSERT_TRUE(qzsdk::remove_file(folder / L"d.png"));
    write_image(folder / L"g.png", 64, 36);
    set_modified(folder / L"g.png", 1600000000);
    rescan();
    EXPECT_EQ(api().names(), (names{"c.png", "b.Jpg", "a.PNG", "g.png"}));
    EXPECT_EQ(api().column()[0], kept);
    EXPECT_EQ(api().selected_names(), (names{"c.png"}));

    key(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(gallery->handle()));
    EXPECT_EQ(log.take(), (std::vector<std::string>{"gallery:35:0", "gallery:36:0"}));
}

TEST_F(gallery_window, MissingOrEmptyFolderShowsNothing)
{
    // A relative folder is not read against the working folder, even when that holds images.
    wchar_t working[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, working);
    SetCurrentDirectoryW(folder.get().c_str());
    for (const std::string& setting : {std::string(), (folder / L"nowhere").to_utf8(), std::string("."), std::string("d.png\\..")}) {
        capture = setting;
        show();
        EXPECT_TRUE(api().column().empty());
        EXPECT_TRUE(api().selection().empty());
        EXPECT_TRUE(api().preview().Paths().empty());
        EXPECT_FALSE(api().copy_button().is_visible(false));
        EXPECT_EQ(api().delete_button().badge(), "");
    }
    SetCurrentDirectoryW(working);
}

TEST_F(gallery_window, ClicksSelectWithShiftAndCtrl)
{
    show(1);
    std::vector<GalleryThumbnail*> column = api().column();
    ASSERT_EQ(column.size(), 4u);
    qzsdk::test::key_state keys;

    keys.press(VK_LSHIFT);  // from the newest, anchored by the scan
    click(column[2]);
    EXPECT_EQ(api().selected_names(), (names{"d.png", "c.png", "b.Jpg"}));
    EXPECT_EQ(api().export_button().badge(), "(3)");
    EXPECT_FALSE(api().copy_button().is_visible(false));
    keys.release(VK_LSHIFT);

    keys.press(VK_LCONTROL);
    click(column[1]);
    EXPECT_EQ(api().selected_names(), (names{"d.png", "b.Jpg"}));
    EXPECT_FALSE(column[1]->selected);
    keys.press(VK_RMENU);  // AltGr is not Ctrl: Ctrl+A toggles the arrangement instead
    key('A');
    EXPECT_EQ(api().selection().size(), 2u);
    EXPECT_EQ(api().preview().arrangement, 1u);
    keys.release(VK_RMENU);
    key('A');  // in the order the thumbnails were made
    EXPECT_EQ(api().selected_names(), (names{"d.png", "c.png", "b.Jpg", "a.PNG"}));
    EXPECT_EQ(api().delete_button().badge(), "(4)");
    keys.release(VK_LCONTROL);

    // A press on a selected thumbnail keeps the selection for a drag; the release collapses it.
    click(column[3], WM_LBUTTONDOWN, 0);
    EXPECT_EQ(api().selection().size(), 4u);
    click(column[3], WM_LBUTTONUP, 0);
    EXPECT_EQ(api().selected_names(), (names{"a.PNG"}));
    EXPECT_TRUE(api().copy_button().is_visible(false));

    // A middle press takes no capture that its release would never free.
    click(column[2], WM_MBUTTONDOWN, WM_MBUTTONUP);
    EXPECT_EQ(captured_widget(), nullptr);
    click(column[3]);

    key(VK_UP);
    EXPECT_EQ(api().selected_names(), (names{"b.Jpg"}));
    key(VK_DOWN);
    key(VK_DOWN);  // already the last
    EXPECT_EQ(api().selected_names(), (names{"a.PNG"}));

    keys.press(VK_LCONTROL);
    click(column[3]);  // the only selected one: nothing left
    EXPECT_TRUE(api().selection().empty());
    EXPECT_TRUE(api().preview().Paths().empty());
    EXPECT_FALSE(api().copy_button().is_visible(false));
}

TEST_F(gallery_window, CopiesAndSavesOneThroughTheDialogAndBatchesWithoutOverwriting)
{
    show();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    const POINT copy = api().centre_of(api().copy_button());
    SendMessageW(gallery->handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(copy.x, copy.y));
    SendMessageW(gallery->handle(), WM_LBUTTONUP, 0, MAKELPARAM(copy.x, copy.y));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));

    qzsdk::test::temp_folder out;
    {
        dialog_driver driver(dialog_driver::answer::ok, (out / L"single.jpg").wide());
        gallery->SaveImages({api().column()[0]}, 2);
        EXPECT_EQ(driver.titles(), (std::vector<std::wstring>{L"Save to JPG"}));
    }
    EXPECT_EQ(qzsdk::test::read_bytes(out / L"single.jpg").substr(0, 2), "\xFF\xD8");
    {
        dialog_driver cancelled(dialog_driver::answer::cancel);
        gallery->SaveImages({api().column()[0]}, 1);
    }

    // c.png and the PNG made of c... none here; a.PNG and a file already named a.png in the target collide.
    write_image(folder / L"c.jpg", 16, 16);
    rescan();
    qzsdk::test::write_bytes(out / L"a.png", "keep me");
    std::vector<GalleryThumbnail*> all = api().column();
    {
        dialog_driver driver(dialog_driver::answer::ok, out.get().wide());
        gallery->SaveImages(all, 1);
    }
    EXPECT_EQ(qzsdk::test::read_bytes(out / L"a.png"), "keep me");
    for (const wchar_t* written : {L"a (2).png", L"b.png", L"c.png", L"c (2).png", L"d.png"})
        EXPECT_EQ(qzsdk::test::read_bytes(out / written).substr(1, 3), "PNG") << qzsdk::path(written).to_utf8();
}

TEST_F(gallery_window, DragOutDropsTheSelectedFilesOnATarget)
{
    ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
    SetWindowPos(window.handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    widget target;
    target.attach_to_window(&window.root(), rect{0, 0, 300, 200});
    target.set_visible(true);
    std::vector<qzsdk::path> received;
    event_manager::instance().connect(&target, &target, event_id::drag_over, [&](const event_info& info) {
        received = *reinterpret_cast<const std::vector<qzsdk::path>*>(info.param);
    });
    show();
    std::vector<GalleryThumbnail*> column = api().column();
    qzsdk::test::event_log log;
    log.listen(&api().drag_window(), "drag", {event_id::shown});
    {
        qzsdk::test::key_state keys;
        keys.press(VK_LCONTROL);
        click(column[0], WM_LBUTTONDOWN, 0);  // takes the only selected one away: nothing left to drag
        const POINT at = api().centre_of(*column[0]);
        place_gallery_cursor(POINT{at.x + 20, at.y});
        SendMessageW(gallery->handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 20, at.y));
        SendMessageW(gallery->handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x + 20, at.y));
        EXPECT_TRUE(log.take().empty());
        click(column[2]);
    }
    // A file deleted behind the gallery's back is left out of the drag.
    ASSERT_TRUE(qzsdk::remove_file(folder / L"d.png"));
    click(column[2], WM_LBUTTONDOWN, 0);
    POINT start = api().centre_of(*column[2]);
    place_gallery_cursor(POINT{start.x + 5, start.y});
    SendMessageW(gallery->handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.x + 5, start.y));
    EXPECT_TRUE(received.empty());  // 5 units: no drag yet

    POINT over{150, 100};
    ClientToScreen(window.handle(), &over);
    POINT in_gallery = over;
    ScreenToClient(gallery->handle(), &in_gallery);
    SetCursorPos(over.x, over.y);
    qzsdk::test::pump_messages();
    SendMessageW(gallery->handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(in_gallery.x, in_gallery.y));
    EXPECT_EQ(received, (std::vector<qzsdk::path>{folder / L"b.Jpg"}));
    EXPECT_FALSE(IsWindowVisible(api().drag_window().handle()));
    EXPECT_EQ(captured_widget(), nullptr);
}

TEST_F(gallery_window, WindowsGoWithTheGallery)
{
    show();
    const HWND drag = api().drag_window().handle();
    const HWND main = gallery->handle();
    click(api().column()[0], WM_LBUTTONDOWN, 0);  // holds the capture while destroyed
    gallery.reset();
    EXPECT_FALSE(IsWindow(drag));
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(captured_widget(), nullptr);
}

TEST_F(gallery_window, DeleteAsksFirstAndSelectsTheNextThumbnail)
{
    show();
    std::vector<GalleryThumbnail*> column = api().column();
    {
        qzsdk::test::key_state keys;
        keys.press(VK_LCONTROL);
        click(column[1]);
        click(column[3]);
        click(column[0]);  // d.png off again: c.png and a.PNG stay selected
    }
    {
        popup_answer no(L"Delete?");
        key(VK_DELETE);
        EXPECT_EQ(no.answered(), 1);
    }
    EXPECT_EQ(api().names().size(), 4u);
    {
        popup_answer yes(L"Delete?", question_yes);
        key(VK_DELETE);
        EXPECT_EQ(yes.answered(), 1);
    }
    EXPECT_FALSE(qzsdk::get_file_info(folder / L"c.png").exists);
    EXPECT_FALSE(qzsdk::get_file_info(folder / L"a.PNG").exists);
    EXPECT_EQ(api().names(), (names{"d.png", "b.Jpg"}));
    EXPECT_EQ(api().selected_names(), (names{"b.Jpg"}));

    // Scans attach each thumbnail once: no connection is added again, and its delete button asks once.
    const size_t connections = event_manager_test_api::connections();
    for (int i = 0; i < 3; ++i)
        rescan();
    EXPECT_EQ(event_manager_test_api::connections(), connections);

    // The thumbnail's own delete button: the last one goes, the new last one is selected. With the gallery
    // at the screen's right edge, the question placed at the thumbnail is kept on the monitor.
    RECT screen{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    SetWindowPos(gallery->handle(), nullptr, screen.right - 200, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    column = api().column();
    {
        popup_answer yes(L"Delete?", question_yes);
        const rect button = column[1]->children()[0]->visible_area();
        const LPARAM at = MAKELPARAM(button.x + 9, button.y + 9);
        SendMessageW(gallery->handle(), WM_MOUSEMOVE, 0, at);
        SendMessageW(gallery->handle(), WM_MOUSEMOVE, 0, at);
        SendMessageW(gallery->handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(gallery->handle(), WM_LBUTTONUP, 0, at);
        EXPECT_EQ(yes.answered(), 1);
        EXPECT_LE(yes.placed().right, screen.right);
    }
    EXPECT_EQ(api().names(), (names{"d.png"}));
    EXPECT_EQ(api().selected_names(), (names{"d.png"}));
}

TEST_F(gallery_window, DeleteThatFailsIsReportedAndTheFileStays)
{
    show();
    // Held open without delete sharing: the file cannot be removed.
    HANDLE held = CreateFileW((folder / L"d.png").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        popup_answer yes(L"Delete?", question_yes);
        popup_answer told(L"Failed to Delete");
        key(VK_DELETE);
        EXPECT_EQ(yes.answered(), 1);
        EXPECT_EQ(told.answered(), 1);
    }
    CloseHandle(held);
    EXPECT_EQ(api().names().size(), 4u);
    EXPECT_EQ(api().selected_names(), (names{"d.png"}));
}

TEST_F(gallery_window, ContextMenuRevealsTheFileInExplorer)
{
    show();
    std::vector<qzsdk::shell_request> requests;
    qzsdk::shell_launcher previous =
        qzsdk::set_shell_launcher([&](const qzsdk::shell_request& request) { requests.push_back(request); });
    std::vector<UINT> states;
    {
        // Up from no highlighted item reaches the last one, "Open in Explorer".
        qzsdk::test::menu_driver driver({VK_UP, VK_RETURN}, [&](HMENU menu, HWND) {
            for (int i = 0; i < GetMenuItemCount(menu); ++i)
                states.push_back(GetMenuState(menu, UINT(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
        });
        click(api().column()[2], WM_RBUTTONDOWN, WM_RBUTTONUP);
        EXPECT_TRUE(driver.opened());
    }
    qzsdk::set_shell_launcher(previous);
    EXPECT_EQ(api().selected_names(), (names{"b.Jpg"}));
    ASSERT_EQ(states.size(), 6u);
    states.erase(states.begin() + 4);  // the separator
    EXPECT_EQ(states, (std::vector<UINT>{0, 0, 0, 0, 0}));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].parameters.find(L"b.Jpg"), std::wstring::npos);
}

TEST_F(gallery_window, ExportMenuSavesTheSelectionAndReportsFilesThatFail)
{
    show();
    {
        qzsdk::test::key_state keys;
        keys.press(VK_LCONTROL);
        click(api().column()[1]);
    }
    ASSERT_TRUE(qzsdk::remove_file(folder / L"c.png"));  // gone behind the gallery's back
    qzsdk::test::temp_folder out;
    {
        qzsdk::test::menu_driver menu({VK_DOWN, VK_DOWN, VK_RETURN});
        dialog_driver driver(dialog_driver::answer::ok, out.get().wide());
        popup_answer told(L"Failed to Save");
        const POINT at = api().centre_of(api().export_button());
        SendMessageW(gallery->handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(at.x, at.y));
        SendMessageW(gallery->handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        EXPECT_EQ(driver.titles(), (std::vector<std::wstring>{L"Select Folder"}));
        EXPECT_EQ(told.answered(), 1);
    }
    EXPECT_EQ(qzsdk::test::read_bytes(out / L"d.jpg").substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(qzsdk::test::read_bytes(out / L"c.jpg"), "<missing>");
}

TEST_F(gallery_window, TitleStripMovesAndMaximisesTheWindow)
{
    show();
    RECT before{}, after{};
    GetWindowRect(gallery->handle(), &before);
    for (const POINT& at : {POINT{400, 100}, POINT{400, 20}}) {  // below the strip, then in it
        place_gallery_cursor(at);
        SendMessageW(gallery->handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        place_gallery_cursor(POINT{at.x + 30, at.y + 10});
        SendMessageW(gallery->handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 30, at.y + 10));
        SendMessageW(gallery->handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x + 30, at.y + 10));
        GetWindowRect(gallery->handle(), &after);
        EXPECT_EQ(after.left - before.left, at.y == 20 ? 30 : 0);
        SendMessageW(gallery->handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x + 30, at.y + 10));
        EXPECT_EQ(gallery->holder().maximized, at.y == 20);
    }
    SendMessageW(gallery->handle(), WM_LBUTTONUP, 0, MAKELPARAM(400, 20));
}

TEST_F(gallery_window, PicturesAreMadeNearTheViewAndDroppedFarFromIt)
{
    for (int i = 0; i < 60; ++i) {
        const qzsdk::path file = folder / (L"many" + std::to_wstring(i) + L".png").c_str();
        write_image(file, 32, 18);
        set_modified(file, 1600000000 - i);  // below the others, in a fixed order
    }
    show();
    GalleryThumbnail* first = api().column().front();
    ASSERT_EQ(api().column().size(), 64u);
    EXPECT_TRUE(first->picture);
    EXPECT_FALSE(api().column()[50]->picture);
    api().scroll_to(1 << 20);  // the end
    api().settle();
    EXPECT_EQ(api().column().size(), 64u);
    EXPECT_TRUE(api().column().back()->picture);
    EXPECT_FALSE(first->picture);
}
