// Work away from the window's thread: one worker runs what was posted, in order, and leaves the
// steps it hands back for the window's thread to collect at its next tick.
#include "platform/win32/services.h"
#include "platform/win32/trace.h"

namespace kavri::win32 {

Win32Background::Win32Background()
    : wake_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)), idle_(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {
    ::InitializeCriticalSection(&lock_);
}

// The worker lives as long as the program: work under way when it ends (a read waiting on a
// network) ends with the process.
void Win32Background::Post(Work work) {
    ::EnterCriticalSection(&lock_);
    work_.push_back(std::move(work));
    ::ResetEvent(idle_);
    ::LeaveCriticalSection(&lock_);
    if (!started_) {
        const HANDLE thread = wake_ ? ::CreateThread(nullptr, 256 * 1024, Run, this, 0, nullptr) : nullptr;
        if (!thread) {
            Trace("CreateThread", "background", ::GetLastError());
            return;  // tried again at the next post; the work waits meanwhile
        }
        ::CloseHandle(thread);
        started_ = true;
    }
    ::SetEvent(wake_);
}

bool Win32Background::Wait(unsigned ms) { return ::WaitForSingleObject(idle_, ms) == WAIT_OBJECT_0; }

void Win32Background::Collect() {
    ::EnterCriticalSection(&lock_);
    std::vector<std::function<void()>> due;
    due.swap(steps_);
    ::LeaveCriticalSection(&lock_);
    for (auto& step : due) step();
}

DWORD WINAPI Win32Background::Run(void* self) {
    auto* background = static_cast<Win32Background*>(self);
    for (;;) {
        ::EnterCriticalSection(&background->lock_);
        if (background->work_.empty()) {
            ::LeaveCriticalSection(&background->lock_);
            ::WaitForSingleObject(background->wake_, INFINITE);
            continue;
        }
        Work work = std::move(background->work_.front());
        background->work_.pop_front();
        ::LeaveCriticalSection(&background->lock_);
        std::function<void()> step = work();
        ::EnterCriticalSection(&background->lock_);
        background->steps_.push_back(std::move(step));
        if (background->work_.empty()) ::SetEvent(background->idle_);
        ::LeaveCriticalSection(&background->lock_);
    }
}

}  // namespace kavri::win32
