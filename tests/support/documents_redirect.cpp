#include "tests/support/documents_redirect.h"

#include <windows.h>

namespace qzsdk::test {

namespace {

// The shell reads the user's folders from here on every call.
const wchar_t* const user_shell_folders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void set_personal(const std::wstring& folder)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, user_shell_folders, L"Personal", REG_EXPAND_SZ, folder.c_str(),
                    static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

documents_redirect::documents_redirect()
{
    wchar_t previous[MAX_PATH] = {};
    DWORD size = sizeof previous;
    if (RegGetValueW(HKEY_CURRENT_USER, user_shell_folders, L"Personal", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, previous, &size) != ERROR_SUCCESS)
        wcscpy(previous, L"%USERPROFILE%\\Documents");
    previous_ = previous;
    set_personal(folder_.get().wide());
}

documents_redirect::~documents_redirect()
{
    set_personal(previous_);
}

}  // namespace qzsdk::test
