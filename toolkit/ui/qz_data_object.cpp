#include "toolkit/ui/qz_data_object.h"

#include <shlobj.h>

#include <cstring>

#include "toolkit/ui/clipboard_session.h"

namespace qzsdk::ui {

QZDataObject* QZDataObject::create(const FORMATETC* formats, const STGMEDIUM* media, int count)
{
    return new QZDataObject(formats, media, count);
}

QZDataObject::QZDataObject(const FORMATETC* formats, const STGMEDIUM* media, int count)
{
    if (formats && media && count > 0) {
        formats_.assign(formats, formats + count);
        media_.assign(media, media + count);
    }
}

HRESULT STDMETHODCALLTYPE QZDataObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDataObject) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE QZDataObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE QZDataObject::Release()
{
    const LONG remaining = InterlockedDecrement(&references_);
    if (remaining == 0)
        delete this;
    return static_cast<ULONG>(remaining);
}

int QZDataObject::find(const FORMATETC* format) const
{
    if (!format)
        return -1;
    for (size_t i = 0; i < formats_.size(); ++i) {
        if (formats_[i].cfFormat == format->cfFormat && formats_[i].dwAspect == format->dwAspect &&
            (formats_[i].tymed & format->tymed) != 0)
            return static_cast<int>(i);
    }
    return -1;
}

HRESULT STDMETHODCALLTYPE QZDataObject::QueryGetData(FORMATETC* format)
{
    return find(format) >= 0 ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE QZDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!medium)
        return E_POINTER;
    const int index = find(format);
    // Only global memory is served, and only when the receiver asked for it.
    if (index < 0 || !(format->tymed & TYMED_HGLOBAL) || media_[index].tymed != TYMED_HGLOBAL)
        return DV_E_FORMATETC;
    HGLOBAL source = media_[index].hGlobal;
    const SIZE_T size = source ? GlobalSize(source) : 0;
    if (size == 0)
        return DV_E_FORMATETC;
    HGLOBAL copy = GlobalAlloc(0, size);
    if (!copy)
        return E_OUTOFMEMORY;
    {
        global_lock from(source);
        if (!from.data()) {
            GlobalFree(copy);
            return DV_E_FORMATETC;
        }
        // A fixed block's handle is its address.
        std::memcpy(copy, from.data(), size);
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE QZDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE QZDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical)
{
    if (canonical)
        canonical->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE QZDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE QZDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
    if (!formats)
        return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats_.size()), formats_.data(), formats);
}

HRESULT STDMETHODCALLTYPE QZDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE QZDataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE QZDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace qzsdk::ui
