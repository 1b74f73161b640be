#include "gallery/gallery_popup_window.h"

#include <gtest/gtest.h>
#include <windowsx.h>

#include "tests/gallery/gallery_test_files.h"
#include "tests/gallery/gallery_window_fixture.h"
#include "tests/gallery/popup_answer.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/key_state.h"
#include "tests/support/menu_driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "tests/toolkit/ui/event_manager_test_api.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::ui::event_manager_test_api;
using namespace gallery_test;
using qzsdk::test::dialog_driver;

TEST_F(gallery_window, ScanListsImagesNewestFirstAndSkipsWhatItCannotShow)
{
    qzsdk::test::event_log log;
    log.listen(gallery.get(), "gallery", {event_id::shown, event_id::hidden});
    {
        qzsdk::test::key_state keys;
        keys.press(VK_LSHIFT);  // held while the gallery opens: the scan's selection is not a Shift+click
        show();
    }
    EXPECT_EQ(api().names(), (names{"d.png", "c.png", "b.Jpg", "a.PNG"}));
    EXPECT_EQ(api().selected_names(), (names{"d.png"}));
    EXPECT_EQ(api().preview().Paths().size(), 1u);
    EXPECT_TRUE(api().copy_button().is_visible(false));

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
        EXPECT_TRUE(api().column().empty()) << setting;
        EXPECT_TRUE(api().preview().Paths().empty());
        EXPECT_FALSE(api().copy_button().is_visible(false));
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
    click(*column[2]);
    EXPECT_EQ(api().selected_names(), (names{"d.png", "c.png", "b.Jpg"}));
    EXPECT_EQ(api().export_button().badge(), "(3)");
    keys.release(VK_LSHIFT);

    keys.press(VK_LCONTROL);
    click(*column[1]);
    EXPECT_EQ(api().selected_names(), (names{"d.png", "b.Jpg"}));
    keys.press(VK_RMENU);  // AltGr is not Ctrl: Ctrl+A toggles the arrangement instead
    key('A');
    EXPECT_EQ(api().selection().size(), 2u);
    EXPECT_EQ(api().preview().arrangement, 1u);
    keys.release(VK_RMENU);
    key('A');  // in the order the thumbnails were made
    EXPECT_EQ(api().selected_names(), (names{"d.png", "c.png", "b.Jpg", "a.PNG"}));
    keys.release(VK_LCONTROL);

    // A press on a selected thumbnail keeps the selection for a drag; the release collapses it.
    click(*column[3], WM_LBUTTONDOWN, 0);
    EXPECT_EQ(api().selection().size(), 4u);
    click(*column[3], WM_LBUTTONUP, 0);
    EXPECT_EQ(api().selected_names(), (names{"a.PNG"}));

    // A middle press takes no capture that its release would never free.
    click(*column[2], WM_MBUTTONDOWN, WM_MBUTTONUP);
    EXPECT_EQ(captured_widget(), nullptr);
    click(*column[3]);

    key(VK_UP);
    EXPECT_EQ(api().selected_names(), (names{"b.Jpg"}));
    key(VK_DOWN);
    key(VK_DOWN);  // already the last
    EXPECT_EQ(api().selected_names(), (names{"a.PNG"}));

    keys.press(VK_LCONTROL);
    click(*column[3]);  // the only selected one: nothing left
    EXPECT_TRUE(api().selection().empty());
    EXPECT_TRUE(api().preview().Paths().empty());
    EXPECT_FALSE(api().copy_button().is_visible(false));
}

TEST_F(gallery_window, CopiesAndSavesWithoutOverwritingAndReportsFilesThatFail)
{
    show();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    click(api().copy_button());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));

    // a.PNG and a file already named a.png in the target collide; c.png and the PNG made of c.jpg too.
    write_image(folder / L"c.jpg", 16, 16);
    rescan();
    qzsdk::test::temp_folder out;
    qzsdk::test::write_bytes(out / L"a.png", "keep me");
    {
        dialog_driver driver(dialog_driver::answer::ok, out.get().wide());
        gallery->SaveImages(api().column(), 1);
    }
    EXPECT_EQ(qzsdk::test::read_bytes(out / L"a.png"), "keep me");
    for (const wchar_t* written : {L"a (2).png", L"b.png", L"c.png", L"c (2).png", L"d.png"})
        EXPECT_EQ(qzsdk::test::read_bytes(out / written).substr(1, 3), "PNG") << qzsdk::path(written).to_utf8();

    // The export menu saves the selection as JPG and reports a file gone behind the gallery's back.
    ASSERT_EQ(api().names(), (names{"c.jpg", "d.png", "c.png", "b.Jpg", "a.PNG"}));
    click(*api().column()[1]);
    {
        qzsdk::test::key_state keys;
        keys.press(VK_LCONTROL);
        click(*api().column()[2]);
    }
    ASSERT_TRUE(qzsdk::remove_file(folder / L"c.png"));
    qzsdk::test::temp_folder jpgs;
    {
        qzsdk::test::menu_driver menu({VK_DOWN, VK_DOWN, VK_RETURN});
        dialog_driver driver(dialog_driver::answer::ok, jpgs.get().wide());
        popup_answer told(L"Failed to Save");
        click(api().export_button());
        EXPECT_EQ(driver.titles(), (std::vector<std::wstring>{L"Select Folder"}));
        EXPECT_EQ(told.answered(), 1);
    }
    EXPECT_EQ(qzsdk::test::read_bytes(jpgs / L"d.jpg").substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(qzsdk::test::read_bytes(jpgs / L"c.jpg"), "<missing>");
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
        click(*column[0], WM_LBUTTONDOWN, 0);  // takes the only selected one away: nothing left to drag
        const POINT away{api().centre_of(*column[0]).x + 20, api().centre_of(*column[0]).y};
        send(away, WM_MOUSEMOVE, MK_LBUTTON);
        send(away, WM_LBUTTONUP);
        EXPECT_TRUE(log.take().empty());
        click(*column[2]);
    }
    // A file deleted behind the gallery's back is left out of the drag.
    ASSERT_TRUE(qzsdk::remove_file(folder / L"d.png"));
    click(*column[2], WM_LBUTTONDOWN, 0);
    send(POINT{api().centre_of(*column[2]).x + 5, api().centre_of(*column[2]).y}, WM_MOUSEMOVE, MK_LBUTTON);
    EXPECT_TRUE(received.empty());  // 5 units: no drag yet

    POINT over{150, 100};
    ClientToScreen(window.handle(), &over);
    ScreenToClient(gallery->handle(), &over);
    send(over, WM_MOUSEMOVE, MK_LBUTTON);
    EXPECT_EQ(received, (std::vector<qzsdk::path>{folder / L"b.Jpg"}));
    EXPECT_FALSE(IsWindowVisible(api().drag_window().handle()));
    EXPECT_EQ(captured_widget(), nullptr);

    // Destroyed while a press holds the capture: its windows go with it and the capture is freed.
    const HWND drag = api().drag_window().handle(), main = gallery->handle();
    click(*column[0], WM_LBUTTONDOWN, 0);
    gallery.reset();
    EXPECT_FALSE(IsWindow(drag));
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(captured_widget(), nullptr);
}

TEST_F(gallery_window, DeleteAsksFirstSelectsTheNextThumbnailAndReportsFailure)
{
    show();
    std::vector<GalleryThumbnail*> column = api().column();
    {
        qzsdk::test::key_state keys;
        keys.press(VK_LCONTROL);
        click(*column[1]);
        click(*column[3]);
        click(*column[0]);  // d.png off again: c.png and a.PNG stay selected
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
    {
        popup_answer yes(L"Delete?", question_yes);
        // The button, 18 units square 2 units inside the bottom-right corner, is made at the first hover: the
        // third move reaches it.
        const rect thumbnail = api().column()[1]->visible_area();
        const POINT button{thumbnail.x + thumbnail.width - 11, thumbnail.y + thumbnail.height - 11};
        for (UINT message : {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
            send(button, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0);
        EXPECT_EQ(yes.answered(), 1);
        EXPECT_LE(yes.placed().right, screen.right);
    }
    EXPECT_EQ(api().names(), (names{"d.png"}));
    EXPECT_EQ(api().selected_names(), (names{"d.png"}));

    // Held open without delete sharing, the file cannot be removed: that is reported and the file stays.
    HANDLE held = CreateFileW((folder / L"d.png").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        popup_answer yes(L"Delete?", question_yes);
        popup_answer told(L"Failed to Delete");
        key(VK_DELETE);
        EXPECT_EQ(told.answered(), 1);
    }
    CloseHandle(held);
    EXPECT_EQ(api().selected_names(), (names{"d.png"}));
}

TEST_F(gallery_window, PicturesAreMadeNearTheViewAndDroppedFarFromIt)
{
    add_images(60);
    show();
    GalleryThumbnail* first = api().column().front();
    ASSERT_EQ(api().column().size(), 64u);
    EXPECT_TRUE(first->picture);
    EXPECT_FALSE(api().column()[50]->picture);
    api().scroll_to(1 << 20);  // the end
    api().settle();
    EXPECT_TRUE(api().column().back()->picture);
    EXPECT_FALSE(first->picture);
}
