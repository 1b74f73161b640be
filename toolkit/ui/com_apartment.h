#pragma once
// COM initialisation held for an object's lifetime; left on the thread that entered it.
#include <windows.h>
#include <objbase.h>

namespace qzsdk::ui {

class com_apartment {
public:
    com_apartment() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)), thread_(GetCurrentThreadId()) {}
    ~com_apartment()
    {
        // An apartment of another model was already entered: nothing of ours to leave.
        if (result_ != RPC_E_CHANGED_MODE && SUCCEEDED(result_) && thread_ == GetCurrentThreadId()) CoUninitialize();
    }
    com_apartment(const com_apartment&) = delete;
    com_apartment& operator=(const com_apartment&) = delete;

private:
    HRESULT result_;
    DWORD thread_;
};

}  // namespace qzsdk::ui
