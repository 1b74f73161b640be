#pragma once
// The drop target every toolkit window registers: a widget under the cursor that listens for event 41
// is offered the dropped files (shell CF_HDROP lists) as a list of paths, valid during that event.
#include <ole2.h>

#include <optional>
#include <vector>

#include "toolkit/platform/path.h"

namespace qzsdk::ui {

class native_window;

class native_drop_target : public IDropTarget {
public:
    // Made with one reference, which the caller releases.
    static native_drop_target* create(native_window* holder);

    // The holder's teardown: later calls from OLE find no window and refuse.
    void forget_holder() { holder_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    explicit native_drop_target(native_window* holder);
    virtual ~native_drop_target();

    // Whether the enabled widget under the screen point listens for dropped files.
    bool accepts_at(POINTL screen) const;
    DWORD answer(DWORD allowed, POINTL screen) const;

    HRESULT ole_result_;
    native_window* holder_;
    LONG references_ = 1;
};

// The files of a CF_HDROP block, folders and names that cannot be read left out; nothing when the
// block is malformed.
std::optional<std::vector<path>> dropped_files(HDROP files);

}  // namespace qzsdk::ui
