#include "toolkit/ui/qz_drop_source.h"

namespace qzsdk::ui {

HRESULT STDMETHODCALLTYPE QZDropSource::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropSource) {
        *object = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE QZDropSource::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE QZDropSource::Release()
{
    const LONG remaining = InterlockedDecrement(&references_);
    if (remaining == 0)
        delete this;
    return static_cast<ULONG>(remaining);
}

HRESULT STDMETHODCALLTYPE QZDropSource::QueryContinueDrag(BOOL escape_pressed, DWORD key_state)
{
    if (escape_pressed)
        return DRAGDROP_S_CANCEL;
    if (!(key_state & MK_LBUTTON))
        return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE QZDropSource::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

}  // namespace qzsdk::ui
