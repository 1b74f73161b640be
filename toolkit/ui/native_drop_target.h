#pragma once
// The drop target every toolkit window registers. Accepting shell files comes later; for now it
// refuses every drop.
#include <ole2.h>

namespace qzsdk::ui {

class native_window;

class native_drop_target : public IDropTarget {
public:
    explicit native_drop_target(native_window* holder) : holder_(holder) {}
    virtual ~native_drop_target() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    native_window* holder_;
    ULONG references_ = 1;  // embedded in its holder, never freed through Release
};

}  // namespace qzsdk::ui
