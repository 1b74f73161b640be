#include "toolkit/ui/native_drop_target.h"

#include <shlobj.h>

#include <cstring>
#include <string>

#include "toolkit/ui/clipboard_session.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/native_window.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {
namespace {

// A dropping program may delete files it sees moved: a widget that only reads the paths copies.
constexpr DWORD accepted_effect = DROPEFFECT_COPY;

}  // namespace

native_drop_target* native_drop_target::create(native_window* holder)
{
    return new native_drop_target(holder);
}

native_drop_target::native_drop_target(native_window* holder) : ole_result_(OleInitialize(nullptr)), holder_(holder)
{
}

native_drop_target::~native_drop_target()
{
    // Only an initialisation that succeeded is balanced.
    if (SUCCEEDED(ole_result_))
        OleUninitialize();
}

HRESULT STDMETHODCALLTYPE native_drop_target::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_FAIL;
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
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE native_drop_target::Release()
{
    const LONG remaining = InterlockedDecrement(&references_);
    if (remaining == 0)
        delete this;
    return static_cast<ULONG>(remaining);
}

bool native_drop_target::accepts_at(POINTL screen) const
{
    window* owner = holder_ ? holder_->owner_window() : nullptr;
    if (!owner || !owner->handle())
        return false;
    POINT client{screen.x, screen.y};
    ScreenToClient(owner->handle(), &client);
    widget* under = owner->hit_test({holder_->to_units_x(client.x), holder_->to_units_y(client.y)});
    return under && under->is_enabled(true) &&
           event_manager::instance().has_handlers(under, event_id::drag_over);
}

// A copy is offered only where a widget takes files and only when the source allows copying.
DWORD native_drop_target::answer(DWORD allowed, POINTL screen) const
{
    return (allowed & accepted_effect) && accepts_at(screen) ? accepted_effect : DROPEFFECT_NONE;
}

// The effect is decided on entering too: left as proposed, the source would show a drop as possible.
HRESULT STDMETHODCALLTYPE native_drop_target::DragEnter(IDataObject*, DWORD, POINTL screen, DWORD* effect)
{
    if (effect)
        *effect = answer(*effect, screen);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE native_drop_target::DragOver(DWORD, POINTL screen, DWORD* effect)
{
    if (effect)
        *effect = answer(*effect, screen);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE native_drop_target::DragLeave()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE native_drop_target::Drop(IDataObject* data, DWORD, POINTL screen, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    if (!data)
        return E_FAIL;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium)))
        return E_FAIL;
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal) {
        ReleaseStgMedium(&medium);
        return E_FAIL;
    }
    std::optional<std::vector<path>> files = dropped_files(static_cast<HDROP>(medium.hGlobal));
    ReleaseStgMedium(&medium);
    if (!files)
        return E_FAIL;

    if (answer(allowed, screen) == DROPEFFECT_NONE)
        return S_OK;
    window* owner = holder_->owner_window();
    POINT client{screen.x, screen.y};
    ScreenToClient(owner->handle(), &client);
    *effect = accepted_effect;
    // A handler may destroy the window: OLE's reference keeps this object alive, and nothing of the
    // window is touched after the call.
    owner->route_input(input_record(event_id::drag_over, reinterpret_cast<uint64_t>(&*files),
                                    point{holder_->to_units_x(client.x), holder_->to_units_y(client.y)}));
    return S_OK;
}

namespace {

// DragQueryFileW trusts the block: its list must start inside it and end, with its second zero,
// before the block does.
bool is_well_formed(HGLOBAL block)
{
    const SIZE_T size = GlobalSize(block);
    global_lock lock(block);
    if (!lock.data() || size < sizeof(DROPFILES))
        return false;
    DROPFILES header;
    std::memcpy(&header, lock.data(), sizeof(header));
    if (header.pFiles < sizeof(DROPFILES) || header.pFiles >= size)
        return false;
    const size_t unit = header.fWide ? sizeof(wchar_t) : 1;
    const uint8_t* list = lock.data() + header.pFiles;
    const size_t units = (size - header.pFiles) / unit;
    auto is_zero = [&](size_t i) {
        return unit == 1 ? list[i] == 0 : list[2 * i] == 0 && list[2 * i + 1] == 0;
    };
    for (size_t i = 0; i < units; ++i) {
        // A zero right after another, or at the very start, ends the list.
        if (is_zero(i) && (i == 0 || is_zero(i - 1)))
            return true;
    }
    return false;
}

}  // namespace

std::optional<std::vector<path>> dropped_files(HDROP files)
{
    if (!files || !is_well_formed(static_cast<HGLOBAL>(files)))
        return std::nullopt;
    std::vector<path> result;
    const UINT count = DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(files, i, nullptr, 0);
        if (length == 0)
            continue;
        std::wstring name(static_cast<size_t>(length) + 1, L'\0');
        const UINT copied = DragQueryFileW(files, i, name.data(), length + 1);
        name.resize(std::min(copied, length));
        // Folders and names whose attributes cannot be read (every bit set) are left out.
        if (name.empty() || (GetFileAttributesW(name.c_str()) & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        result.emplace_back(std::move(name));
    }
    return result;
}

}  // namespace qzsdk::ui
