#include "host/capture_file_name.h"
#include "host/effect_list_builder.h"
#include "host/effects_popup.h"
#include "host/frame_pixels.h"
#include "host/host_memory_text.h"
#include "host/sdk/host_suites.h"
#include "host/plugin_main.h"
#include "host/screenshot.h"
#include "popup/effects_popup_window.h"
#include "popup/settings_file.h"
#include "standin/host.h"
#include "tests/host/host_test_project.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/effects_popup_window_test_api.h"
#include "tests/support/key_state.h"
#include "tests/support/menu_driver.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "tests/support/wic_canvas.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/platform/qz_exception.h"
#include "toolkit/platform/text.h"
#include "toolkit/ui/event_info.h"
#include "toolkit/ui/image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <regex>
#include <thread>

using qzsdk::test::bgra;
using qzsdk::test::dialog_driver;
using qzsdk::test::read_pixel;

namespace {

// An 8 x 4 composition: the stand-in's gradient has red 0..255 across, green 0..255 down, blue half.
constexpr const char* capture_project_json = R"({
  "name": "Shot.aep",
  "effects": [{"name": "Gaussian Blur", "category": "Blur & Sharpen"}],
  "items": [
    {"name": "Comp 1", "width": 8, "height": 4, "current_time": [3, 24],
     "layers": [{"name": "Title", "type": "text"}]}
  ],
  "active_item": "Comp 1",
  "active_layer": "Title"
})";

std::vector<std::wstring> files_in(const qzsdk::path& folder, const wchar_t* pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.join(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (found.cFileName[0] != L'.')
            names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::vector<std::wstring> png_files(const qzsdk::path& folder) { return files_in(folder, L"*.png"); }

class FrameCaptureTest : public testing::Test {
protected:
    FrameCaptureTest()
    {
        host_test::remove_local_files();
        host_.call_entry(&PluginMain, 115, 0);
        host_.run_idle();
        state().settings().capture_folder = capture_.get().to_utf8();
    }
    ~FrameCaptureTest() override
    {
        EXPECT_EQ(host_.book().live_render_objects, 0);
        EXPECT_EQ(host_.book().live_mem_handles, 0);
        host_.run_death_hooks();
        g_effects_popup.reset();
        host_test::remove_local_files();
    }

    EffectsPopup& state() { return *g_effects_popup; }
    standin::Item& comp() { return host_.project().items[0]; }

    // Idles as the host does until the writer has reported every screenshot it was given.
    bool wait_for_writes()
    {
        return qzsdk::test::pump_until(
            [this] {
                host_.run_idle();
                return !state().capture_writes_pending();
            },
            30000);
    }

    // Stores a capture in the capture folder and decodes it.
    std::unique_ptr<qzsdk::ui::image> capture_file()
    {
        state().OnPopupCommand(screenshot_to_capture_folder);
        EXPECT_TRUE(wait_for_writes());
        std::vector<std::wstring> files = png_files(capture_.get());
        auto picture = std::make_unique<qzsdk::ui::image>();
        EXPECT_EQ(files.size(), 1u);
        if (files.size() == 1) {
            EXPECT_TRUE(picture->load_from_file((capture_ / files[0].c_str()).wide()));
        }
        for (const std::wstring& file : files)
            qzsdk::remove_file(capture_ / file.c_str());
        return picture;
    }

    int render_suite_uses() { return host_.book().suites[{"AEGP Render Suite", 3}].acquired; }

    standin::Host host_{standin::parse_project(capture_project_json), true};
    qzsdk::test::temp_folder capture_;
};

}  // namespace

TEST_F(FrameCaptureTest, RebuildRefreshesTheListAndRendersNothing)
{
    host_.project().effects.push_back({"Added Later", "Blur & Sharpen"});
    qzsdk::ui::event_info info;
    info.id = 44;
    info.param = popup_rebuild_effects;
    state().OnPopupCommand(info);
    const auto& entries = state().popup_window()->entries();
    EXPECT_TRUE(
        std::any_of(entries.begin(), entries.end(), [](const EffectEntry& e) { return e.name == "Added Later"; }));
    EXPECT_EQ(render_suite_uses(), 0);
    // Without a composition a capture ends silently.
    host_.project().active_item = -1;
    host_.project().active_layer = -1;
    state().OnPopupCommand(screenshot_to_capture_folder);
    EXPECT_TRUE(png_files(capture_.get()).empty());
    EXPECT_TRUE(host_.book().message_boxes.empty());
}

TEST_F(FrameCaptureTest, CaptureFilesAreNamedSafelyAndARemovedFolderIsMadeAgain)
{
    host_.project().name = "Take: 2?";
    comp().name = "A/B <final>";
    const qzsdk::path removed = capture_ / L"gone";
    state().settings().capture_folder = removed.to_utf8();
    state().OnPopupCommand(screenshot_to_capture_folder);
    state().OnPopupCommand(screenshot_to_capture_folder);
    ASSERT_TRUE(wait_for_writes());
    const std::vector<std::wstring> files = png_files(removed);
    // Two captures in one second keep both files, also while the first is still being written.
    ASSERT_EQ(files.size(), 2u);
    const std::wregex shape(LR"(Take_ 2__A_B _final__\d{4}-\d\d-\d\d_\d\d\.\d\d\.\d\d(_2)?\.png)");
    for (const std::wstring& file : files)
        EXPECT_TRUE(std::regex_match(file, shape)) << qzsdk::wide_to_utf8(file);
}

TEST_F(FrameCaptureTest, EveryBitDepthGivesTheSameEightBitPixels)
{
    for (int bits : {8, 16, 32}) {
        SCOPED_TRACE(bits);
        host_.project().bits_per_channel = bits;
        auto picture = capture_file();
        ASSERT_EQ(picture->width(), 8u);
        ASSERT_EQ(picture->height(), 4u);
        EXPECT_EQ(read_pixel(*picture, 0, 0), (bgra{128, 0, 0, 255}));
        EXPECT_EQ(read_pixel(*picture, 7, 3), (bgra{128, 255, 255, 255}));
        EXPECT_EQ(read_pixel(*picture, 1, 0), (bgra{128, 0, 36, 255}));
    }
}

TEST_F(FrameCaptureTest, ColourManagedFramesKeepTheRenderedAlphaAndStayStraight)
{
    host_.project().color_managed = true;
    host_.project().frame_alpha = 0.5;
    auto picture = capture_file();
    // The stand-in's conversion swaps red and blue and makes alpha full; the rendered alpha comes back.
    // Decoding premultiplies: straight red 128 at alpha 128 reads 64.
    const bgra right = read_pixel(*picture, 7, 0);
    EXPECT_EQ(right.a, 128);
    EXPECT_NEAR(right.r, 64, 1);
    EXPECT_NEAR(right.b, 128, 1);
}

TEST_F(FrameCaptureTest, ClipboardGetsTheFrameAsADibTwiceAsWideForPixelAspectTwo)
{
    comp().pixel_aspect = {2, 1};
    state().OnPopupCommand(screenshot_to_clipboard);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    qzsdk::ui::image pasted;
    ASSERT_TRUE(pasted.load_from_clipboard());
    EXPECT_EQ(pasted.width(), 16u);
    EXPECT_EQ(pasted.height(), 4u);
}

TEST_F(FrameCaptureTest, SaveDialogsWriteTheChosenFileAndCancelWritesNothing)
{
    qzsdk::test::temp_folder target;
    {
        dialog_driver driver(dialog_driver::answer::ok, (target / L"saved").wide());
        state().OnPopupCommand(screenshot_save_png);
        ASSERT_EQ(driver.titles().size(), 1u);
        EXPECT_EQ(driver.titles()[0], L"Save to PNG");
    }
    qzsdk::ui::image saved;
    ASSERT_TRUE(saved.load_from_file((target / L"saved.png").wide()));
    EXPECT_EQ(saved.width(), 8u);
    {
        dialog_driver driver(dialog_driver::answer::ok, (target / L"saved").wide());
        state().OnPopupCommand(screenshot_save_jpeg);
        EXPECT_EQ(driver.titles().at(0), L"Save to JPG");
    }
    EXPECT_EQ(qzsdk::test::read_bytes(target / L"saved.jpg").substr(0, 2), "\xFF\xD8");
    {
        dialog_driver driver(dialog_driver::answer::cancel);
        state().OnPopupCommand(screenshot_save_png);
        EXPECT_EQ(driver.titles().size(), 1u);
    }
    EXPECT_EQ(files_in(target.get(), L"*").size(), 2u);
    EXPECT_TRUE(host_.book().message_boxes.empty());
}

TEST_F(FrameCaptureTest, AFailedCaptureIsReportedAndDisposesOfEverything)
{
    // Missing after the frame was rendered: the receipt and render options are live when it throws.
    host_.withhold_suite("PF Color Settings Suite", 3);
    EXPECT_NO_THROW(state().OnPopupCommand(screenshot_to_capture_folder));
    ASSERT_EQ(host_.book().message_boxes.size(), 1u);
    EXPECT_NE(host_.book().message_boxes[0].text.find("PF Color Settings Suite"), std::string::npos);
    EXPECT_TRUE(png_files(capture_.get()).empty());
}

TEST_F(FrameCaptureTest, ScriptAnswerIsReadWithinItsMemoryBlock)
{
    standin::Host& host = host_;
    SuiteCache suites(host.basic_suite());
    const auto& memory = suites.get<AEGP_MemorySuite1>();
    AEGP_MemHandle handle = nullptr;
    ASSERT_EQ(memory.AEGP_NewMemHandle(standin::standin_plugin_id, "bpcHandle", 2, 0, &handle), A_Err_NONE);
    void* bytes = nullptr;
    memory.AEGP_LockMemHandle(handle, &bytes);
    std::memcpy(bytes, "16", 2);  // no terminator
    memory.AEGP_UnlockMemHandle(handle);
    EXPECT_EQ(ReadMemHandleText(suites, handle), "16");
    memory.AEGP_FreeMemHandle(handle);
    EXPECT_EQ(BitDepthFromScriptAnswer("16"), 1);
    EXPECT_EQ(BitDepthFromScriptAnswer("sixteen"), 2);
}

TEST(FramePixels, UnreadableFramesAreRefused)
{
    std::vector<uint8_t> pixels(8 * 4 * 2 * 4);
    PF_EffectWorld frame{8, 4, 8 * 4 * 2, 2, pixels.data()};
    EXPECT_NO_THROW(CheckFrame(frame));
    // An unknown type, rows of 8-bit pixels in a 16-bit world, no pixels.
    for (PF_EffectWorld bad : {PF_EffectWorld{8, 4, 8 * 4 * 2, 7, pixels.data()},
                               PF_EffectWorld{8, 4, 8 * 4, 2, pixels.data()}, PF_EffectWorld{8, 4, 8 * 4 * 2, 2, nullptr}})
        EXPECT_THROW(ImageFromFrame(bad), qz_exception);
}

TEST(FramePixels, PixelAspectWidthIsBounded)
{
    EXPECT_EQ(AspectCorrectedWidth(720, {10, 11}), 654u);
    EXPECT_EQ(AspectCorrectedWidth(960, {2, 0}), 960u);
    EXPECT_EQ(AspectCorrectedWidth(960, {-2, 1}), 960u);
    EXPECT_EQ(AspectCorrectedWidth(960, {2000000000, 1}), max_capture_width);
    EXPECT_EQ(AspectCorrectedWidth(960, {1, 4000000000u}), 1u);
    EXPECT_EQ(AspectCorrectedWidth(40000, {1, 1}), 40000u);
}

TEST(CaptureFileName, AnExistingFileIsNeverOverwritten)
{
    qzsdk::test::temp_folder folder;
    const qzsdk::path first = UnusedGalleryFilePath(folder.get(), "Shot", "Comp 1", "2024-02-01_09.05.03");
    EXPECT_EQ(first, folder / L"Shot_Comp 1_2024-02-01_09.05.03.png");
    qzsdk::test::write_bytes(first, "x");
    const qzsdk::path second = UnusedGalleryFilePath(folder.get(), "Shot", "Comp 1", "2024-02-01_09.05.03");
    EXPECT_EQ(second, folder / L"Shot_Comp 1_2024-02-01_09.05.03_2.png");
    EXPECT_EQ(UnusedGalleryFilePath(folder.get(), "", "", "2024-02-01_09.05.03"),
              folder / L"2024-02-01_09.05.03.png");
    // A name an unfinished write holds is taken too, though no file has it yet.
    const auto writing = [&](const qzsdk::path& file) { return file == second; };
    EXPECT_EQ(UnusedGalleryFilePath(folder.get(), "Shot", "Comp 1", "2024-02-01_09.05.03", writing),
              folder / L"Shot_Comp 1_2024-02-01_09.05.03_3.png");
    EXPECT_EQ(FileNameSafe("a:b/c\\d|e?f*g<h>i\"j\x01k"), "a_b_c_d_e_f_g_h_i_j_k");
}

namespace {

// Keeps the clipboard open from a window of another thread, as another program would, until destroyed.
class clipboard_holder {
public:
    clipboard_holder()
        : thread_([this] {
              HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
              held_ = OpenClipboard(window) != FALSE;
              SetEvent(ready_);
              WaitForSingleObject(release_, INFINITE);
              if (held_)
                  CloseClipboard();
              DestroyWindow(window);
          })
    {
        WaitForSingleObject(ready_, INFINITE);
    }
    ~clipboard_holder()
    {
        SetEvent(release_);
        thread_.join();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    bool held() const { return held_; }

private:
    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool held_ = false;
    std::thread thread_;
};

// Waits for the popup's warning of that title, notes it and closes it with Escape.
qzsdk::test::modal_steps::step told_and_closed(std::vector<std::wstring>& told, const wchar_t* title)
{
    return {[title] { return qzsdk::test::find_window(title) != nullptr; },
            [&told, title] {
                told.push_back(title);
                qzsdk::test::post_key(qzsdk::test::find_window(title)->handle(), VK_ESCAPE);
            }};
}

}  // namespace

TEST_F(FrameCaptureTest, TheFlashFollowsTheWrittenFileAndNeverComesWithoutAComposition)
{
    EffectsPopupWindow& popup = *state().popup_window();
    EffectsPopupWindowTestApi popup_api(popup);
    int32_t result = 0;
    state().SendPopupCommand(result, popup_command_show);
    ASSERT_TRUE(popup.is_visible());
    qzsdk::test::key_state keys;
    keys.press(VK_LSHIFT);

    // Shift + F5 with no composition captures nothing, so nothing flashes.
    host_.project().active_item = -1;
    host_.project().active_layer = -1;
    SendMessageW(popup.handle(), WM_KEYDOWN, VK_F5, 0);
    host_.run_idle();
    EXPECT_FALSE(state().capture_writes_pending());
    EXPECT_EQ(popup_api.flash(), 0.0f);
    EXPECT_TRUE(png_files(capture_.get()).empty());

    // With one, the flash waits for the host's word that the file is there.
    host_.project().active_item = 0;
    SendMessageW(popup.handle(), WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(popup_api.flash(), 0.0f);
    ASSERT_TRUE(wait_for_writes());
    EXPECT_GT(popup_api.flash(), 1.0f);
    const std::vector<std::wstring> files = png_files(capture_.get());
    ASSERT_EQ(files.size(), 1u);
    qzsdk::ui::image written;
    EXPECT_TRUE(written.load_from_file((capture_ / files[0].c_str()).wide()));
    EXPECT_EQ(written.width(), 8u);
}

TEST_F(FrameCaptureTest, TheDeathHookFinishesTheWritesInProgressBeforeTheModuleGoes)
{
    comp().width = 3840;
    comp().height = 2160;
    state().OnPopupCommand(screenshot_to_capture_folder);
    ASSERT_TRUE(state().capture_writes_pending());
    host_.run_death_hooks();
    // Ended the moment the hook returns: no code of the module may run on once the host unloads it.
    EXPECT_FALSE(state().capture_writes_pending());
    const std::vector<std::wstring> files = png_files(capture_.get());
    ASSERT_EQ(files.size(), 1u);
    qzsdk::ui::image written;
    ASSERT_TRUE(written.load_from_file((capture_ / files[0].c_str()).wide()));
    EXPECT_EQ(written.width(), 3840u);
    EXPECT_EQ(written.height(), 2160u);
    EXPECT_TRUE(files_in(capture_.get(), L"*.tmp").empty());
}

TEST_F(FrameCaptureTest, AFailedCopyAndAStoreWithoutAnAbsoluteFolderAreTold)
{
    std::vector<std::wstring> told;
    qzsdk::test::modal_steps closer(
        {told_and_closed(told, L"Failed to Copy"), told_and_closed(told, L"Failed to Save")});
    int32_t result = 0;
    {
        clipboard_holder other_program;
        ASSERT_TRUE(other_program.held());
        qzsdk::test::menu_driver copy({VK_DOWN, VK_RETURN});
        state().SendPopupCommand(result, popup_command_export_menu);
        EXPECT_TRUE(copy.opened());
    }
    // A relative folder would be read against the host's working folder: nothing is stored there.
    state().settings().capture_folder = "Relative Captures";
    state().SendPopupCommand(result, popup_command_screenshot);
    EXPECT_FALSE(state().capture_writes_pending());
    EXPECT_TRUE(closer.finished());
    EXPECT_EQ(told, (std::vector<std::wstring>{L"Failed to Copy", L"Failed to Save"}));
    EXPECT_FALSE(qzsdk::get_file_info(qzsdk::path(L"Relative Captures")).exists);
}

TEST_F(FrameCaptureTest, AWriteThatFailsInTheBackgroundIsToldAtIdleWithoutAFlash)
{
    // A file where the capture folder should be: the folder cannot be made, so the file cannot be written.
    qzsdk::test::write_bytes(capture_ / L"blocked", "a file");
    state().settings().capture_folder = (capture_ / L"blocked").to_utf8();
    std::vector<std::wstring> told;
    qzsdk::test::modal_steps closer({told_and_closed(told, L"Failed to Save")});
    int32_t result = 0;
    state().SendPopupCommand(result, popup_command_screenshot);
    ASSERT_TRUE(wait_for_writes());
    EXPECT_EQ(told, std::vector<std::wstring>{L"Failed to Save"});
    EXPECT_EQ(EffectsPopupWindowTestApi(*state().popup_window()).flash(), 0.0f);
    EXPECT_TRUE(files_in(capture_.get(), L"*.tmp").empty());
}

TEST_F(FrameCaptureTest, WhileAScreenshotIsBeingWrittenTheHostIsAskedToIdleSoon)
{
    A_long max_sleep = 1000;
    IdleHook(nullptr, nullptr, &max_sleep);
    EXPECT_EQ(max_sleep, 1000);
    // Large enough that its write cannot have ended by the next idle call: the flash must not wait on the host.
    comp().width = 3840;
    comp().height = 2160;
    state().OnPopupCommand(screenshot_to_capture_folder);
    IdleHook(nullptr, nullptr, &max_sleep);
    EXPECT_LE(max_sleep, 20);
    ASSERT_TRUE(wait_for_writes());
}
