#include "toolkit/ui/native_drop_target.h"

namespace qzsdk::ui {

HRESULT STDMETHODCALLTYPE native_drop_target::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE native_drop_target::AddRef()
{
    return ++references_;
}

ULONG STDMETHODCALLTYPE native_drop_target::Release()
{
    return --references_;
}

HRESULT STDMETHODCALLTYPE native_drop_target::DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect)
{
    *effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE native_drop_target::DragOver(DWORD, POINTL, DWORD* effect)
{
    *effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE native_drop_target::DragLeave()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE native_drop_target::Drop(IDataObject*, DWORD, POINTL, DWORD* effect)
{
    *effect = DROPEFFECT_NONE;
    return S_OK;
}

}  // namespace qzsdk::ui
