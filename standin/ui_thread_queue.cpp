#include "standin/ui_thread_queue.h"

#include <stdexcept>

namespace standin {

namespace {

constexpr wchar_t class_name[] = L"StandinSessionQueue";
constexpr UINT run_job = WM_APP + 1;
constexpr UINT ask_state = WM_APP + 2;
constexpr LRESULT waits_in_module = 2;

}  // namespace

UiThreadQueue::Job::Job() : done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

UiThreadQueue::Job::~Job() { CloseHandle(done); }

UiThreadQueue::UiThreadQueue(Host& host) : host_(host)
{
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = &procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = class_name;
    RegisterClassExW(&window_class);  // fails harmlessly when a queue made it before
    window_ = CreateWindowExW(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    if (!window_)
        throw std::runtime_error("cannot create the session's message window");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

UiThreadQueue::~UiThreadQueue() { DestroyWindow(window_); }

std::shared_ptr<UiThreadQueue::Job> UiThreadQueue::post(std::function<std::string()> work)
{
    auto job = std::make_shared<Job>();
    job->work = std::move(work);
    auto* held = new std::shared_ptr<Job>(job);
    if (!PostMessageW(window_, run_job, 0, reinterpret_cast<LPARAM>(held))) {
        delete held;
        job->failure = "the UI thread's queue refused the work";
        SetEvent(job->done);
    }
    return job;
}

UiThreadQueue::UiState UiThreadQueue::ui_state(UINT timeout_ms) const
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window_, ask_state, 0, 0, SMTO_NORMAL, timeout_ms, &answer))
        return UiState::busy;
    return answer == waits_in_module ? UiState::in_module_loop : UiState::in_host;
}

LRESULT CALLBACK UiThreadQueue::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* queue = reinterpret_cast<UiThreadQueue*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (queue && message == ask_state)
        return queue->host_.inside_module() ? waits_in_module : 1;
    if (message != run_job)
        return DefWindowProcW(window, message, wparam, lparam);
    std::unique_ptr<std::shared_ptr<Job>> held(reinterpret_cast<std::shared_ptr<Job>*>(lparam));
    Job& job = **held;
    try {
        job.failure = job.work();
    } catch (const std::exception& error) {
        job.failure = error.what();
    }
    SetEvent(job.done);
    return 0;
}

}  // namespace standin
