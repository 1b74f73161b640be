#include "toolkit/ui/file_dialog.h"

#include "toolkit/platform/qz_exception.h"
#include "toolkit/platform/text.h"
#include "toolkit/ui/com_apartment.h"
#include "toolkit/ui/window.h"

#include <shobjidl.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace qzsdk::ui {

namespace {

const HRESULT cancelled = HRESULT_FROM_WIN32(ERROR_CANCELLED);

HWND native_owner(window* owner)
{
    return owner ? owner->handle() : nullptr;
}

struct co_task_text {
    ~co_task_text() { CoTaskMemFree(text); }
    wchar_t* text = nullptr;
};

void check(HRESULT result, const char* message)
{
    if (FAILED(result))
        throw qz_exception(message);
}

path file_system_path(IShellItem& item, const char* message)
{
    co_task_text name;
    check(item.GetDisplayName(SIGDN_FILESYSPATH, &name.text), message);
    return path(std::wstring(name.text));
}

bool setup_file_types(IFileDialog& dialog, const std::vector<file_filter>& filters, uint32_t selected_filter)
{
    if (filters.empty())
        return true;
    std::vector<std::wstring> texts;
    for (const file_filter& filter : filters) {
        texts.push_back(utf8_to_wide(filter.name));
        texts.push_back(utf8_to_wide(filter.pattern));
    }
    std::vector<COMDLG_FILTERSPEC> specs;
    for (size_t i = 0; i < texts.size(); i += 2)
        specs.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    if (FAILED(dialog.SetFileTypes(UINT(specs.size()), specs.data())))
        return false;
    const std::wstring extension = default_extension_of(filters.front().pattern);
    if (!extension.empty())
        dialog.SetDefaultExtension(extension.c_str());
    const uint32_t index = selected_filter < filters.size() ? selected_filter : 0;
    return SUCCEEDED(dialog.SetFileTypeIndex(index + 1));
}

std::vector<path> open_results(IFileOpenDialog& dialog)
{
    ComPtr<IShellItemArray> items;
    DWORD count = 0;
    if (FAILED(dialog.GetResults(items.GetAddressOf())) || FAILED(items->GetCount(&count)))
        throw qz_exception("unable to retrieve the selection from the file dialog box");
    std::vector<path> chosen;
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        check(items->GetItemAt(i, item.GetAddressOf()), "unable to retrieve an item from the file dialog box");
        chosen.push_back(file_system_path(*item.Get(), "unable to retrieve a result from the file dialog box"));
    }
    return chosen;
}

}  // namespace

std::wstring default_extension_of(std::string_view pattern)
{
    if (pattern.size() <= 2 || !pattern.starts_with("*."))
        return {};
    std::string_view extension = pattern.substr(2);
    if (extension.find_first_of("*?;.") != std::string_view::npos)
        return {};
    return utf8_to_wide(extension);
}

std::vector<path> show_file_dialog(window* owner, uint32_t mode, std::string_view title,
                                   const std::vector<file_filter>& filters, uint32_t selected_filter,
                                   std::string_view default_name)
{
    com_apartment apartment;
    const bool open = mode == file_dialog_open;
    ComPtr<IFileDialog> dialog;
    if (FAILED(CoCreateInstance(open ? CLSID_FileOpenDialog : CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                open ? IID_IFileOpenDialog : IID_IFileSaveDialog,
                                reinterpret_cast<void**>(dialog.GetAddressOf()))))
        throw qz_exception(open ? "unable to create the file \"open\" dialog box"
                                : "unable to create the file \"save\" dialog box");
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(dialog->SetTitle(utf8_to_wide(title).c_str())) || FAILED(dialog->GetOptions(&options)) ||
        FAILED(dialog->SetOptions(options | FOS_FORCEFILESYSTEM)) ||
        !setup_file_types(*dialog.Get(), filters, selected_filter))
        throw qz_exception("unable to setup the file dialog box");
    if (!default_name.empty())
        dialog->SetFileName(utf8_to_wide(default_name).c_str());

    const HRESULT shown = dialog->Show(native_owner(owner));
    if (shown == cancelled)
        return {};
    check(shown, "unable to display the file dialog box");

    if (open) {
        ComPtr<IFileOpenDialog> open_dialog;
        dialog.As(&open_dialog);
        return open_results(*open_dialog.Get());
    }
    ComPtr<IShellItem> item;
    check(dialog->GetResult(item.GetAddressOf()), "unable to retrieve the selection from the file dialog box");
    return {file_system_path(*item.Get(), "unable to retrieve a result from the file dialog box")};
}

path show_folder_dialog(window* owner, std::string_view title, const path& initial_folder)
{
    com_apartment apartment;
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(dialog.GetAddressOf()))))
        throw qz_exception("unable to create the folder \"select\" dialog box");
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(dialog->GetOptions(&options)) ||
        FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM)) ||
        FAILED(dialog->SetTitle(utf8_to_wide(title).c_str())))
        throw qz_exception("unable to setup the folder \"select\" dialog box");
    if (!initial_folder.empty()) {
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(initial_folder.c_str(), nullptr, IID_PPV_ARGS(folder.GetAddressOf()))))
            dialog->SetFolder(folder.Get());
    }
    const HRESULT shown = dialog->Show(native_owner(owner));
    if (shown == cancelled)
        return {};
    check(shown, "unable to display the folder \"select\" dialog box");
    ComPtr<IShellItem> item;
    check(dialog->GetResult(item.GetAddressOf()),
          "unable to retrieve the selection from the folder \"select\" dialog box");
    return file_system_path(*item.Get(), "unable to retrieve a result from the folder \"select\" dialog box");
}

}  // namespace qzsdk::ui
