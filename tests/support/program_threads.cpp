#include "tests/support/program_threads.h"

#include <tlhelp32.h>

namespace qzsdk::test {

namespace {

constexpr int thread_start_address_class = 9;  // ThreadQuerySetWin32StartAddress

using query_thread_function = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

void* start_address(DWORD thread_id)
{
    static const auto query = reinterpret_cast<query_thread_function>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, thread_id);
    void* start = nullptr;
    if (thread && query)
        query(thread, thread_start_address_class, &start, sizeof(start), nullptr);
    if (thread)
        CloseHandle(thread);
    return start;
}

HMODULE module_at(void* address)
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(address), &module);
    return module;
}

size_t left_on_purpose = 0;

std::vector<std::string> program_threads_alive()
{
    const HMODULE runtime = GetModuleHandleW(L"msvcrt.dll");
    std::vector<std::string> alive;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return {"the threads cannot be listed"};
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId() || entry.th32ThreadID == GetCurrentThreadId())
            continue;
        void* start = start_address(entry.th32ThreadID);
        if (runtime && module_at(start) == runtime)
            alive.push_back("thread " + std::to_string(entry.th32ThreadID) + " started through the C runtime");
    }
    CloseHandle(snapshot);
    return alive;
}

}  // namespace

void leave_running(size_t count)
{
    left_on_purpose += count;
}

std::vector<std::string> threads_left_at_end(DWORD timeout_ms)
{
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    std::vector<std::string> alive = program_threads_alive();
    while (alive.size() > left_on_purpose && GetTickCount64() < deadline) {
        Sleep(10);
        alive = program_threads_alive();
    }
    return alive.size() > left_on_purpose ? alive : std::vector<std::string>{};
}

}  // namespace qzsdk::test
