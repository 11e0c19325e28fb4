// Windows kernel services: drive types, the Tool Help process snapshot, and what another process
// was started with and holds open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/records.h"

namespace kavri {

// One entry of the system's list of open handles.
struct OpenHandle {
    std::uint32_t processId = 0;
    std::uintptr_t value = 0;
    bool file = false;         // a file object, or of a kind the list cannot tell
    std::uint64_t object = 0;  // the object behind it where the list names it, else 0
    bool operator==(const OpenHandle&) const = default;
};

// What asking for the path behind another process's handle gave.
struct HandlePath {
    enum class Outcome {
        Path,
        NotDiskFile,
        Failed,
        TimedOut,  // no answer within the budget: the worker asking stays on it
        Pending,   // a worker is still on this handle from an earlier ask: it was not asked again
        NotAsked,  // the look's time ran out before this handle: it is asked at a later look
        NoWorker,  // every worker is held up by another handle: nothing was asked
    };
    Outcome outcome = Outcome::Failed;
    std::string path;  // UTF-8, for Path
};

// What asking for the handle list gave.
enum class HandleList {
    Listed,   // the handles are in the vector (none for a process that may not be looked into)
    Unknown,  // no list at this call (a query that failed): nothing is known of what is held
};

// What a process was started with.
struct ProcessStart {
    std::string commandLine;    // UTF-8
    std::string currentFolder;  // its current folder, UTF-8; empty when it cannot be read
};

class Kernel {
public:
    virtual ~Kernel() = default;
    // Drive type of a root path such as "E:\"; 5 is a CD-ROM drive.
    virtual std::uint32_t GetDriveTypeA(const char* rootPathName) = 0;
    virtual Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) = 0;
    // Nonzero when the record now holds an entry.
    virtual std::int32_t Process32First(Handle snapshot, ProcessEntry32* entry) = 0;
    virtual std::int32_t Process32Next(Handle snapshot, ProcessEntry32* entry) = 0;
    virtual std::int32_t CloseHandle(Handle object) = 0;

    // The command line and current folder of a process; nothing when they may not be read.
    virtual std::optional<ProcessStart> ProcessParameters(std::uint32_t processId) = 0;
    // The handles a process holds open, among those of other processes where the system lists them
    // all (NtQuerySystemInformation, extended handle class). A list that cannot be had at this call
    // leaves nothing known, not nothing held. The vector is reused from call to call.
    virtual HandleList ProcessHandles(std::uint32_t processId, std::vector<OpenHandle>& handles) = 0;
    // The path of the disk file a process holds under a handle, given up after budgetMs: asking
    // may block on some handles (pipes, consoles), so only disk files are asked, on a worker that
    // keeps at its call after the budget until it returns.
    virtual HandlePath PathOfHandle(std::uint32_t processId, const OpenHandle& handle, std::uint32_t budgetMs) = 0;
    // Releases what was kept open to look into a process that is no longer watched.
    virtual void ForgetProcess(std::uint32_t processId) = 0;
    // The files whose views a process maps, UTF-8.
    virtual std::vector<std::string> MappedFiles(std::uint32_t processId) = 0;
};

}  // namespace kavri
