// What the emulator process holds: its handle list, the paths behind its file handles, and the
// handle of the process kept while it is watched. One object, owned by the kernel service.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/kernel.h"
#include "platform/win32/path_workers.h"

namespace kavri::win32 {

class ProcessWatch {
public:
    ProcessWatch() = default;
    ProcessWatch(const ProcessWatch&) = delete;
    ProcessWatch& operator=(const ProcessWatch&) = delete;
    ~ProcessWatch() { Forget(processId_); }

    // The handles of processId; from the system's list where it names each handle's object (so a
    // handle is asked for its path once), else from the process's own list (Windows 8 and later).
    // Each call starts a look: the handles then asked share one budget (path_asks.h, LookBudget).
    bool Handles(std::uint32_t processId, std::vector<OpenHandle>& handles);
    // The path of a handle of the last list, asked in the list's order; budgetMs is the whole
    // look's, and a handle the look has no time left for is Pending.
    HandlePath PathOf(std::uint32_t processId, const OpenHandle& handle, std::uint32_t budgetMs);
    // Closes the handle kept to copy processId's handles.
    void Forget(std::uint32_t processId);

private:
    enum class Named { Unknown, Yes, No };
    bool SystemList(std::vector<OpenHandle>& handles);
    bool ProcessList(std::uint32_t processId, std::vector<OpenHandle>& handles);
    HANDLE Opened(std::uint32_t processId);

    std::vector<unsigned char> systemBuffer_ = std::vector<unsigned char>(1 << 20);
    std::vector<unsigned char> processBuffer_ = std::vector<unsigned char>(64 * 1024);
    ULONG systemFileType_ = 0, processFileType_ = 0;  // the type index of file objects in each list
    Named objectsNamed_ = Named::Unknown;               // whether the system's list names objects
    bool processListMissing_ = false;                  // Windows 7 and Wine list no process's handles
    std::uint32_t processId_ = 0;
    HANDLE process_ = nullptr;  // processId_ opened to copy its handles
    std::uint32_t lookProcessId_ = 0;  // whose handles the looks are of
    PathWorkers workers_;
};

}  // namespace kavri::win32
