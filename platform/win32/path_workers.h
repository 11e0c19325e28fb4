// Threads that ask another process's handles for the path of the file behind them: the logic of
// path_asks.h on Windows's own calls (a slim lock, condition variables, CreateThread).
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/kernel.h"
#include "platform/win32/path_asks.h"

namespace kavri::win32 {

struct Win32Sync {
    struct Lock {
        SRWLOCK srw = SRWLOCK_INIT;
    };
    struct Signal {
        CONDITION_VARIABLE variable = CONDITION_VARIABLE_INIT;
    };
    static void Acquire(Lock& lock) { ::AcquireSRWLockExclusive(&lock.srw); }
    static void Release(Lock& lock) { ::ReleaseSRWLockExclusive(&lock.srw); }
    static void Wait(Signal& signal, Lock& lock) { ::SleepConditionVariableSRW(&signal.variable, &lock.srw, INFINITE, 0); }
    static void WaitFor(Signal& signal, Lock& lock, std::uint32_t ms) {
        ::SleepConditionVariableSRW(&signal.variable, &lock.srw, ms, 0);
    }
    static void WakeAll(Signal& signal) { ::WakeAllConditionVariable(&signal.variable); }
    static std::uint64_t NowMs() { return ::GetTickCount64(); }
    template <void (*Run)(void*)>
    static bool Start(void* argument) {
        const HANDLE thread = ::CreateThread(nullptr, 64 * 1024, Thread<Run>, argument, 0, nullptr);
        if (!thread) return Failed();
        ::CloseHandle(thread);
        return true;
    }

private:
    template <void (*Run)(void*)>
    static DWORD WINAPI Thread(void* argument) {
        Run(argument);
        return 0;
    }
    static bool Failed();  // traced
};

class PathWorkers : public PathAsks<Win32Sync, HANDLE> {
public:
    using Query = Pool::Query;
    // query is what a worker asks of a handle: its type and path by default, another in tests.
    explicit PathWorkers(Query query = AskPath, Pool::Answered answered = nullptr)
        : PathAsks(query, [](HANDLE file) { ::CloseHandle(file); }, answered) {}

    // A disk file's path ("C:\x", "\\server\x"); NotDiskFile for pipes, consoles and devices.
    static HandlePath AskPath(HANDLE file);
};

}  // namespace kavri::win32
