#pragma once
// A value under the maker's key HKEY_LOCAL_MACHINE "SOFTWARE\Tarnwick" for the length of one test; the
// empty name sets the key's default value.
#include <windows.h>

#include <string>

namespace qzsdk::test {

class registry_value {
public:
    registry_value(const wchar_t* name, const std::wstring& text);
    ~registry_value();
    registry_value(const registry_value&) = delete;
    registry_value& operator=(const registry_value&) = delete;

private:
    const wchar_t* name_;
    HKEY key_ = nullptr;
};

}  // namespace qzsdk::test
