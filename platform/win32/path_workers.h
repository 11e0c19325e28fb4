// Threads that ask another process's handles for the path of the file behind them. Asking may
// block (a pipe with a read waiting on it), so each ask runs on a worker and is waited for only as
// long as the budget; a worker whose call blocks keeps at it, closes its handle when the call
// returns and is free again. At most kWorkers: with all of them held up, nothing more is asked.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/kernel.h"

namespace kavri::win32 {

class PathWorkers {
public:
    using Key = std::pair<std::uintptr_t, std::uint64_t>;  // the handle's value and object
    using Query = HandlePath (*)(HANDLE file);
    static constexpr std::size_t kWorkers = 4;

    // query is what a worker asks of a handle: its type and path by default, another in tests.
    explicit PathWorkers(Query query = AskPath) : query_(query) {}
    PathWorkers(const PathWorkers&) = delete;
    PathWorkers& operator=(const PathWorkers&) = delete;

    // A worker is still on the handle named key from an earlier ask.
    bool Busy(const Key& key) const;
    // Some worker is free, or another may be started.
    bool Available() const;
    // Asks file, a handle of this process that the worker closes when its call returns, and
    // waits for at most budgetMs.
    HandlePath Ask(HANDLE file, const Key& key, DWORD budgetMs);

    // A disk file's path ("C:\x", "\\server\x"); NotDiskFile for pipes, consoles and devices.
    static HandlePath AskPath(HANDLE file);

private:
    struct Worker;
    static DWORD WINAPI Run(void* worker);
    Worker* Free();

    Query query_;
    // Never freed: a worker left blocked in its call may return to it at any time.
    std::vector<Worker*> workers_;
};

}  // namespace kavri::win32
