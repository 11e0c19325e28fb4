// The workers that ask another process's handles for their path, under Wine with real threads:
// a query that blocks (as on a pipe with a read waiting) holds up only its worker and its handle,
// the worker closes the handle once its call returns and is free again, and with every worker
// held nothing more is asked.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/path_workers.h"

namespace kavri::win32 {
namespace {

constexpr DWORD kPrompt = 5000;  // ms for an answer that comes at once, with room for a loaded machine
constexpr DWORD kLate = 50;      // ms for one that never comes until released

HANDLE release = nullptr;               // set: the blocked queries return
std::vector<HANDLE> asked;              // the handles the workers were given
CRITICAL_SECTION askedLock;

// A signalled event answers at once; another blocks until release.
HandlePath Query(HANDLE file) {
    ::EnterCriticalSection(&askedLock);
    asked.push_back(file);
    ::LeaveCriticalSection(&askedLock);
    if (::WaitForSingleObject(file, 0) != WAIT_OBJECT_0) ::WaitForSingleObject(release, INFINITE);
    return {HandlePath::Outcome::Path, "C:\\answered"};
}

HANDLE Copy(HANDLE event) {
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), event, ::GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
    return copy;
}

TEST(PathWorkers, AHandleThatBlocksHoldsUpOnlyItsWorkerUntilItReturns) {
    using Outcome = HandlePath::Outcome;
    ::InitializeCriticalSection(&askedLock);
    release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE prompt = ::CreateEventW(nullptr, TRUE, TRUE, nullptr), slow = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PathWorkers workers(Query);

    EXPECT_EQ(workers.Ask(Copy(prompt), {8, 1}, kPrompt).outcome, Outcome::Path);
    EXPECT_EQ(workers.Ask(Copy(slow), {12, 2}, kLate).outcome, Outcome::TimedOut);
    EXPECT_TRUE(workers.Busy({12, 2}));
    EXPECT_FALSE(workers.Busy({12, 3}));  // the same value for another object is another handle
    EXPECT_EQ(workers.Ask(Copy(prompt), {16, 4}, kPrompt).outcome, Outcome::Path);  // another worker answers
    for (std::uint64_t object = 5; object < 5 + PathWorkers::kWorkers - 1; ++object)
        EXPECT_EQ(workers.Ask(Copy(slow), {20, object}, kLate).outcome, Outcome::TimedOut);
    EXPECT_FALSE(workers.Available());
    EXPECT_EQ(workers.Ask(Copy(prompt), {24, 9}, kPrompt).outcome, Outcome::NoWorker);

    ::SetEvent(release);  // the blocked calls return
    for (int wait = 0; wait < 500 && (workers.Busy({12, 2}) || !workers.Available()); ++wait) ::Sleep(10);
    EXPECT_FALSE(workers.Busy({12, 2}));
    EXPECT_EQ(workers.Ask(Copy(prompt), {12, 2}, kPrompt).outcome, Outcome::Path);  // asked again, and answered
    for (int wait = 0; wait < 500 && workers.Busy({12, 2}); ++wait) ::Sleep(10);
    // Every handle a worker was given is closed once its call returned.
    ::EnterCriticalSection(&askedLock);
    DWORD flags = 0;
    for (HANDLE handle : asked) EXPECT_FALSE(::GetHandleInformation(handle, &flags)) << handle;
    EXPECT_EQ(asked.size(), 2 + PathWorkers::kWorkers + 1);
    ::LeaveCriticalSection(&askedLock);
}

}  // namespace
}  // namespace kavri::win32
