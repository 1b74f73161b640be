// The host quits while the news check waits on a name lookup that hangs. libcurl's resolver leaves such a
// lookup running on a thread of its own, in the module's code: when the system answers at last, that thread
// goes on in the module, which must still be there although the host has unloaded it.
// Winsock's headers before any that bring windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "standin/host.h"
#include "tests/support/import_redirect.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct HangingLookup {
    HANDLE began = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HANDLE> thread{nullptr};
    std::atomic<DWORD> thread_id{0};
    uintptr_t module_begin = 0;
    uintptr_t module_end = 0;
    std::atomic<bool> ran_unloaded_code{false};
};
// Lives as long as the process: the lookup thread may outlive a failed test.
HangingLookup hanging;

constexpr DWORD ended_in_unloaded_code = 0xDEAD;

int WSAAPI HangingGetAddrInfo(const char*, const char*, const ADDRINFOA*, ADDRINFOA** result)
{
    *result = nullptr;
    hanging.thread = OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, GetCurrentThreadId());
    hanging.thread_id = GetCurrentThreadId();
    SetEvent(hanging.began);
    WaitForSingleObject(hanging.release, INFINITE);
    // No name is looked up for real: nothing leaves this machine.
    return WSAHOST_NOT_FOUND;
}

void EndThreadInUnloadedCode()
{
    ExitThread(ended_in_unloaded_code);
}

// The lookup thread returning into the unloaded module would end the process; it ends only the thread here,
// with a code the test reads.
LONG CALLBACK CatchUnloadedCode(EXCEPTION_POINTERS* info)
{
    auto address = reinterpret_cast<uintptr_t>(info->ExceptionRecord->ExceptionAddress);
    if (GetCurrentThreadId() != hanging.thread_id || address < hanging.module_begin ||
        address >= hanging.module_end)
        return EXCEPTION_CONTINUE_SEARCH;
    hanging.ran_unloaded_code = true;
    info->ContextRecord->Rip = reinterpret_cast<DWORD64>(&EndThreadInUnloadedCode);
    // As at a function's entry: 8 bytes below a 16-byte boundary.
    info->ContextRecord->Rsp = (info->ContextRecord->Rsp & ~DWORD64(15)) - 8;
    return EXCEPTION_CONTINUE_EXECUTION;
}

void NoteModuleRange(HMODULE module, HangingLookup& lookup)
{
    auto base = reinterpret_cast<uintptr_t>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    lookup.module_begin = base;
    lookup.module_end = base + nt->OptionalHeader.SizeOfImage;
}

}  // namespace

// Runs in a process of its own: the module it loads stays in it.
TEST(ModuleLifetime, NameLookupHangingAtQuitFindsTheModuleStillThere)
{
    HangingLookup& lookup = hanging;
    // A name, not an address: only a name goes to libcurl's resolver thread. It is never sent anywhere: the
    // hanging lookup above answers it, and the test stops before the module starts when it cannot be put there.
    SetEnvironmentVariableW(L"ZEPHRIN_NEWS_SERVER", L"news.zephrin.test");
    SetEnvironmentVariableW(L"ZEPHRIN_NEWS_LOOPBACK_ONLY", nullptr);
    PVOID handler = AddVectoredExceptionHandler(1, &CatchUnloadedCode);
    {
        standin::Host host(standin_test::test_project());
        ASSERT_TRUE(host.load_module(L"Zephrin.aex"));
        NoteModuleRange(host.module(), lookup);
        ASSERT_TRUE(qzsdk::test::redirect_import(host.module(), "ws2_32.dll", "getaddrinfo",
                                                    reinterpret_cast<const void*>(&HangingGetAddrInfo)));
        EXPECT_EQ(host.call_entry(115, 0), A_Err_NONE);
        host.run_idle(3);
        ASSERT_EQ(WaitForSingleObject(lookup.began, 10000), WAIT_OBJECT_0) << "the news check looked up no name";
        // A failure limit: the quit must not wait for the lookup.
        ULONGLONG quitting = GetTickCount64();
        host.run_death_hooks();
        EXPECT_LT(GetTickCount64() - quitting, 5000u);
        EXPECT_TRUE(host.unload_module(10000));
        EXPECT_TRUE(host.book().message_boxes.empty());
    }
    EXPECT_NE(GetModuleHandleW(L"Zephrin.aex"), nullptr) << "unloaded while a lookup ran in its code";
    SetEvent(lookup.release);
    ASSERT_EQ(WaitForSingleObject(lookup.thread, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(lookup.thread, &code);
    EXPECT_FALSE(lookup.ran_unloaded_code) << "the lookup thread went on in the unloaded module (thread code " << code
                                           << ")";
    RemoveVectoredExceptionHandler(handler);
}
