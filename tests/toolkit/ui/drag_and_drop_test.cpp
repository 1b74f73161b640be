#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"
#include "toolkit/ui/file_drop_block.h"
#include "toolkit/ui/native_drop_target.h"
#include "toolkit/ui/qz_data_object.h"
#include "toolkit/ui/qz_drop_source.h"

using namespace qzsdk::ui;
using qzsdk::path;
using qzsdk::test::temp_folder;
using qzsdk::test::window_test;

namespace {

template <class T>
struct com_release {
    void operator()(T* object) const { object->Release(); }
};
template <class T>
using com_ptr = std::unique_ptr<T, com_release<T>>;

FORMATETC hdrop_format(DWORD tymed = TYMED_HGLOBAL, DWORD aspect = DVASPECT_CONTENT)
{
    return FORMATETC{CF_HDROP, nullptr, aspect, -1, tymed};
}

// A CF_HDROP medium owned by the test, as the gallery owns its own.
struct file_drop {
    explicit file_drop(const std::vector<path>& files)
    {
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = make_file_drop_block(files);
        format = hdrop_format();
    }
    ~file_drop() { ReleaseStgMedium(&medium); }
    com_ptr<QZDataObject> object() const { return com_ptr<QZDataObject>(QZDataObject::create(&format, &medium, 1)); }

    FORMATETC format;
    STGMEDIUM medium{};
};

// A widget of the window at (20, 20, 100, 100) that takes dropped files.
class drop : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
        SetWindowPos(window.handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        qzsdk::test::pump_messages();
        target_widget.attach_to_window(&window.root(), rect{20, 20, 100, 100});
        file = folder / L"caf\u00e9 \u65e5\u672c.txt";
        qzsdk::test::write_bytes(file, "x");
        qzsdk::test::make_folder(folder / L"sub");
    }
    void accept_drops()
    {
        event_manager::instance().connect(&target_widget, &target_widget, event_id::drag_over,
                                          [this](const event_info& info) {
                                              ++drops;
                                              received = *reinterpret_cast<const std::vector<path>*>(info.param);
                                          });
    }
    POINTL screen_point(int x, int y) const
    {
        POINT at{x, y};
        ClientToScreen(window.handle(), &at);
        return {at.x, at.y};
    }

    widget target_widget;
    temp_folder folder;
    path file;
    int drops = 0;
    std::vector<path> received;
};

}  // namespace

TEST(DataObject, ServesPrivateCopiesOfItsBlockOnlyInGlobalMemory)
{
    file_drop data({path(L"C:\\a.txt")});
    com_ptr<QZDataObject> object = data.object();
    FORMATETC both = hdrop_format(TYMED_HGLOBAL | TYMED_ISTREAM);
    FORMATETC stream = hdrop_format(TYMED_ISTREAM);
    FORMATETC icon = hdrop_format(TYMED_HGLOBAL, DVASPECT_ICON);
    EXPECT_EQ(object->QueryGetData(&both), S_OK);
    EXPECT_EQ(object->QueryGetData(&stream), DV_E_FORMATETC);
    EXPECT_EQ(object->QueryGetData(&icon), DV_E_FORMATETC);
    STGMEDIUM refused{};
    EXPECT_EQ(object->GetData(&stream, &refused), DV_E_FORMATETC);

    for (int round = 0; round < 2; ++round) {
        STGMEDIUM copy{};
        ASSERT_EQ(object->GetData(&both, &copy), S_OK);
        EXPECT_EQ(copy.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
        EXPECT_NE(copy.hGlobal, data.medium.hGlobal);
        EXPECT_EQ(copy.pUnkForRelease, nullptr);
        wchar_t name[MAX_PATH] = {};
        EXPECT_EQ(DragQueryFileW(static_cast<HDROP>(copy.hGlobal), 0, name, MAX_PATH), 8u);
        EXPECT_STREQ(name, L"C:\\a.txt");
        // Releasing the receiver's copy leaves the stored block intact for the next request.
        ReleaseStgMedium(&copy);
    }

    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(object->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC listed{};
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(1, &listed, &fetched), S_OK);
    EXPECT_EQ(listed.cfFormat, CF_HDROP);
    formats->Release();
}

TEST(DataObject, EmptyObjectAndForeignInterfacesAreRefused)
{
    com_ptr<QZDataObject> empty(QZDataObject::create(nullptr, nullptr, 0));
    FORMATETC format = hdrop_format();
    EXPECT_EQ(empty->QueryGetData(&format), DV_E_FORMATETC);
    void* other = &format;
    EXPECT_EQ(empty->QueryInterface(IID_IDropTarget, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

TEST(DropSource, DropsOnReleaseCancelsOnEscape)
{
    com_ptr<QZDropSource> source(QZDropSource::create());
    EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST_F(drop, OnlyAnEnabledListeningWidgetAcceptsFiles)
{
    com_ptr<native_drop_target> target(native_drop_target::create(&window.holder()));
    file_drop data({file});
    auto effect_at = [&](int x, int y, DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE) {
        DWORD effect = allowed;
        target->DragOver(0, screen_point(x, y), &effect);
        return effect;
    };
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(data.object().get(), 0, screen_point(50, 50), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(effect_at(50, 50), static_cast<DWORD>(DROPEFFECT_NONE));
    accept_drops();
    EXPECT_EQ(effect_at(50, 50), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(effect_at(200, 150), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(effect_at(50, 50, DROPEFFECT_MOVE | DROPEFFECT_LINK), static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_MOVE;  // a source that only lets its files be moved gets no copy
    EXPECT_EQ(target->Drop(data.object().get(), 0, screen_point(50, 50), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(drops, 0);
    target_widget.set_enabled(false);
    EXPECT_EQ(effect_at(50, 50), static_cast<DWORD>(DROPEFFECT_NONE));
}

TEST_F(drop, DropHandsOverFilesButNotFoldersOrUnreadableNames)
{
    accept_drops();
    com_ptr<native_drop_target> target(native_drop_target::create(&window.holder()));
    file_drop data({folder / L"sub", file, folder / L"missing.txt"});
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(data.object().get(), 0, screen_point(50, 50), &effect), S_OK);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(received, std::vector<path>{file});

    file_drop folders_only({folder / L"sub"});
    EXPECT_EQ(target->Drop(folders_only.object().get(), 0, screen_point(50, 50), &effect), S_OK);
    EXPECT_EQ(drops, 2);
    EXPECT_TRUE(received.empty());

    // Data without a file list is refused and nothing is fired.
    com_ptr<QZDataObject> nothing(QZDataObject::create(nullptr, nullptr, 0));
    EXPECT_EQ(target->Drop(nothing.get(), 0, screen_point(50, 50), &effect), E_FAIL);
    EXPECT_EQ(drops, 2);
}

TEST_F(drop, MalformedFileListsAreRefused)
{
    accept_drops();
    com_ptr<native_drop_target> target(native_drop_target::create(&window.holder()));
    auto hostile = [&](DWORD list_offset, const std::wstring& names) {
        file_drop data({});
        GlobalFree(data.medium.hGlobal);
        const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
        data.medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, bytes);
        auto* header = static_cast<DROPFILES*>(GlobalLock(data.medium.hGlobal));
        *header = DROPFILES{list_offset, {0, 0}, FALSE, TRUE};
        std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
        GlobalUnlock(data.medium.hGlobal);
        DWORD effect = DROPEFFECT_COPY;
        return target->Drop(data.object().get(), 0, screen_point(50, 50), &effect);
    };
    // A list that starts past the block, and one whose end is missing.
    EXPECT_EQ(hostile(4096, std::wstring(L"C:\\a\0\0", 6)), E_FAIL);
    EXPECT_EQ(hostile(sizeof(DROPFILES), L"C:\\unterminated"), E_FAIL);
    EXPECT_EQ(drops, 0);
    EXPECT_EQ(hostile(sizeof(DROPFILES), std::wstring(L"\0\0", 2)), S_OK);
    EXPECT_EQ(drops, 1);
}

TEST_F(drop, TargetOutlivesAWindowDestroyedByItsDropHandler)
{
    auto doomed = std::make_unique<qzsdk::ui::window>();
    doomed->create("doomed", rect{0, 0, 100, 100}, window_style::borderless);
    widget inside;
    inside.attach_to_window(&doomed->root(), rect{0, 0, 100, 100});
    event_manager::instance().connect(&inside, &target_widget, event_id::drag_over,
                                      [&](const event_info&) { doomed.reset(); });
    com_ptr<native_drop_target> target(native_drop_target::create(&doomed->holder()));
    file_drop data({file});
    POINT at{10, 10};
    ClientToScreen(doomed->handle(), &at);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(data.object().get(), 0, {at.x, at.y}, &effect), S_OK);
    EXPECT_EQ(doomed, nullptr);
}

TEST_F(drop, RealDragBetweenTwoWindowsCarriesANonAsciiFileName)
{
    accept_drops();
    qzsdk::ui::window source;
    source.create("source", rect{400, 20, 100, 100}, window_style::borderless);
    ShowWindow(source.handle(), SW_SHOWNOACTIVATE);
    // With no button held the drag drops at once onto the window under the cursor.
    POINTL over = screen_point(60, 60);
    SetCursorPos(over.x, over.y);
    qzsdk::test::pump_messages();

    file_drop data({file});
    com_ptr<QZDataObject> object = data.object();
    com_ptr<QZDropSource> drop_source(QZDropSource::create());
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(DoDragDrop(object.get(), drop_source.get(), DROPEFFECT_COPY, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(received, std::vector<path>{file});
}
