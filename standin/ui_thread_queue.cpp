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

UiThreadQueue::~UiThreadQueue()
{
    DestroyWindow(window_);
    CloseHandle(answered_);
}

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
    // Posted, not sent: a call blocked in the system can still take sent messages (under Wine, hiding a
    // window waits up to 2 s for the X server and answers them meanwhile), but only a message loop
    // dispatches posted ones, so only a loop is taken for one.
    ResetEvent(answered_);
    if (!PostMessageW(window_, ask_state, 0, 0) || WaitForSingleObject(answered_, timeout_ms) != WAIT_OBJECT_0)
        return UiState::busy;
    return answer_ == waits_in_module ? UiState::in_module_loop : UiState::in_host;
}

LRESULT CALLBACK UiThreadQueue::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* queue = reinterpret_cast<UiThreadQueue*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (queue && message == ask_state) {
        queue->answer_ = queue->host_.inside_module_loop() ? waits_in_module : 1;
        SetEvent(queue->answered_);
        return 0;
    }
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
