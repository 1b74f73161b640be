#include "tests/support/registry_value.h"

namespace qzsdk::test {

registry_value::registry_value(const wchar_t* name, const std::wstring& text) : name_(name)
{
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarnwick", 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                    nullptr, &key_, nullptr);
    RegSetValueExW(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

registry_value::~registry_value()
{
    RegDeleteValueW(key_, name_);
    RegCloseKey(key_);
}

}  // namespace qzsdk::test
