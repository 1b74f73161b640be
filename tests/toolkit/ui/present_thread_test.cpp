// Under Wine, Direct3D's commands must run on the thread that gives them: on a thread of their own
// ("wined3d_cs"), the presents share Wine's X connection with the UI thread placing windows, and libX11 1.8.4
// deadlocks the two on an X error arriving meanwhile (a test group then hangs until its timeout). The prefix's
// settings ask for it; this holds a drawn window to it.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/window_fixture.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::test::shows_color;
using qzsdk::test::window_test;

namespace {

std::vector<std::wstring> thread_descriptions()
{
    using get_description = HRESULT(WINAPI*)(HANDLE, PWSTR*);
    auto describe = reinterpret_cast<get_description>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
    std::vector<std::wstring> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (!describe || snapshot == INVALID_HANDLE_VALUE)
        return found;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId())
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        PWSTR text = nullptr;
        if (thread && SUCCEEDED(describe(thread, &text)) && text) {
            found.emplace_back(text);
            LocalFree(text);
        }
        if (thread)
            CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return found;
}

using present_thread = window_test;

}  // namespace

TEST_F(present_thread, ADrawnWindowStartsNoThreadOfDirect3DsOwn)
{
    event_manager::instance().connect(&window.root(), &window.root(), event_id::paint, [this](const event_info&) {
        window.renderer()->set_fill_color(color{0, 1, 0, 1});
        window.renderer()->fill_rect(window.root().bounds());
    });
    window.set_visible(true);
    ASSERT_TRUE(shows_color(window.handle(), 5, 5, 0, 255, 0));
    const std::vector<std::wstring> threads = thread_descriptions();
    ASSERT_FALSE(threads.empty()) << "no thread's description could be read";
    for (const std::wstring& name : threads)
        EXPECT_NE(name, L"wined3d_cs");
}
