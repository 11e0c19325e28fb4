#include "platform/win32/path_workers.h"

#include <string>

#include "platform/win32/trace.h"
#include "platform/win32/wide.h"

namespace kavri::win32 {
namespace {

// "\\?\C:\x" as "C:\x", "\\?\UNC\server\x" as "\\server\x".
std::string WithoutPrefix(std::string path) {
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\" + path.substr(7);
    if (path.rfind("\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

}  // namespace

struct PathWorkers::Worker {
    Query query = nullptr;
    HANDLE ask = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE file = nullptr;  // the worker's own while it is busy
    Key key{};
    volatile LONG busy = 0;  // from an ask until the worker's call returned
    HandlePath answer;
};

HandlePath PathWorkers::AskPath(HANDLE file) {
    if (::GetFileType(file) != FILE_TYPE_DISK) return {HandlePath::Outcome::NotDiskFile, {}};
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), 32768, 0);
    if (length == 0 || length >= 32768) return {HandlePath::Outcome::Failed, {}};
    return {HandlePath::Outcome::Path, WithoutPrefix(Utf8(path.data(), static_cast<int>(length)))};
}

DWORD WINAPI PathWorkers::Run(void* parameter) {
    auto* worker = static_cast<Worker*>(parameter);
    while (::WaitForSingleObject(worker->ask, INFINITE) == WAIT_OBJECT_0) {
        HandlePath answer = worker->query(worker->file);
        ::CloseHandle(worker->file);
        worker->answer = std::move(answer);
        ::InterlockedExchange(&worker->busy, 0);  // the answer is written: the worker may be asked again
        ::SetEvent(worker->done);
    }
    return 0;
}

bool PathWorkers::Busy(const Key& key) const {
    for (Worker* worker : workers_)
        if (::InterlockedCompareExchange(&worker->busy, 0, 0) != 0 && worker->key == key) return true;
    return false;
}

bool PathWorkers::Available() const {
    if (workers_.size() < kWorkers) return true;
    for (Worker* worker : workers_)
        if (::InterlockedCompareExchange(&worker->busy, 0, 0) == 0) return true;
    return false;
}

PathWorkers::Worker* PathWorkers::Free() {
    for (Worker* worker : workers_)
        if (::InterlockedCompareExchange(&worker->busy, 0, 0) == 0) return worker;
    if (workers_.size() >= kWorkers) return nullptr;
    auto* fresh = new Worker;
    fresh->query = query_;
    const HANDLE thread = fresh->ask && fresh->done ? ::CreateThread(nullptr, 64 * 1024, Run, fresh, 0, nullptr) : nullptr;
    if (!thread) {
        Trace("CreateThread", "handle paths", ::GetLastError());
        return nullptr;  // what was made is kept: a failure here is rare and bounded
    }
    ::CloseHandle(thread);
    workers_.push_back(fresh);
    return fresh;
}

HandlePath PathWorkers::Ask(HANDLE file, const Key& key, DWORD budgetMs) {
    Worker* worker = Free();
    if (!worker) {
        ::CloseHandle(file);
        return {HandlePath::Outcome::NoWorker, {}};
    }
    worker->file = file;
    worker->key = key;
    ::InterlockedExchange(&worker->busy, 1);
    ::ResetEvent(worker->done);
    ::SetEvent(worker->ask);
    if (::WaitForSingleObject(worker->done, budgetMs) != WAIT_OBJECT_0) return {HandlePath::Outcome::TimedOut, {}};
    return worker->answer;
}

}  // namespace kavri::win32
