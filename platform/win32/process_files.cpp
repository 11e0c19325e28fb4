// What the emulator process was started with and holds: its command line from its process
// environment block, its open files from the system's handle list, and the files it maps.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/services.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide.h"

namespace kavri::win32 {
namespace {

using NTSTATUS_ = LONG;
constexpr NTSTATUS_ kInfoLengthMismatch = static_cast<NTSTATUS_>(0xC0000004);
constexpr ULONG kProcessBasicInformation = 0;
constexpr ULONG kProcessHandleInformation = 51;       // Windows 8 and later
constexpr ULONG kProcessCommandLineInformation = 60;  // Windows 8.1 and later
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr std::size_t kHandleListLimit = 256u << 20;  // bytes of the system's handle list at most
constexpr int kStuckWorkersLimit = 4;                 // workers left blocked before handles are no longer asked

template <typename Fn>
Fn Ntdll(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), name)));
}

// The process handle closed on every way out.
struct Process {
    HANDLE handle;
    explicit Process(HANDLE h) : handle(h) {}
    ~Process() {
        if (handle) ::CloseHandle(handle);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
};

// ---- Command line

template <typename Ptr>
struct UnicodeStringOf {
    std::uint16_t length, maximum;
    Ptr buffer;
};

struct BasicInformation64 {
    LONG exitStatus;
    std::uint64_t peb, affinity;
    LONG basePriority;
    std::uint64_t processId, parentId;
};

using QueryProcessFn = NTSTATUS_(NTAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
using ReadMemory64Fn = NTSTATUS_(NTAPI*)(HANDLE, std::uint64_t, void*, std::uint64_t, std::uint64_t*);

// Reads the process's memory at an address of its own width.
struct Remote {
    HANDLE process;
    ReadMemory64Fn read64;  // set for a 64-bit process read from this 32-bit one
    bool Read(std::uint64_t at, void* to, std::size_t size) const {
        if (read64) return read64(process, at, to, size, nullptr) >= 0;
        SIZE_T read = 0;
        return at <= UINTPTR_MAX && ::ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(at)),
                                                       to, size, &read) && read == size;
    }
};

// The command line from the process environment block: its process parameters' CommandLine.
template <typename Ptr>
std::optional<std::string> CommandLineFromPeb(const Remote& remote, std::uint64_t peb) {
    Ptr parameters = 0;
    if (!remote.Read(peb + 4 * sizeof(Ptr), &parameters, sizeof parameters)) return std::nullopt;
    UnicodeStringOf<Ptr> line{};
    if (!remote.Read(std::uint64_t{parameters} + (sizeof(Ptr) == 8 ? 0x70 : 0x40), &line, sizeof line))
        return std::nullopt;
    std::wstring text(line.length / sizeof(wchar_t), L'\0');
    if (!text.empty() && !remote.Read(line.buffer, text.data(), text.size() * sizeof(wchar_t))) return std::nullopt;
    return Utf8(text.data(), static_cast<int>(text.size()));
}

// The command line as Windows 8.1 and later give it: a counted string and its characters.
std::optional<std::string> CommandLineGiven(std::uint32_t processId) {
    const auto query = Ntdll<QueryProcessFn>("NtQueryInformationProcess");
    Process process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    std::vector<unsigned char> buffer(64 * 1024 + sizeof(UnicodeStringOf<void*>));
    if (!query || !process.handle ||
        query(process.handle, kProcessCommandLineInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr) < 0)
        return std::nullopt;
    const auto* line = reinterpret_cast<const UnicodeStringOf<const wchar_t*>*>(buffer.data());
    const auto* end = reinterpret_cast<const unsigned char*>(line->buffer) + line->length;
    if (reinterpret_cast<const unsigned char*>(line->buffer) < buffer.data() || end > buffer.data() + buffer.size())
        return std::nullopt;
    return Utf8(line->buffer, line->length / static_cast<int>(sizeof(wchar_t)));
}

bool IsWow64(HANDLE process) {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(process, &wow64) && wow64;
}

// ---- Open handles

// A file of this program's own, held open, by which the type of file objects is told.
HANDLE Marker() {
    static const HANDLE marker = [] {
        wchar_t path[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        return length == 0 || length >= MAX_PATH
                   ? INVALID_HANDLE_VALUE
                   : ::CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    }();
    return marker;
}

// Calls query with a buffer grown until the answer fits, up to limit bytes; the buffer is kept.
template <typename Query>
bool Grown(std::vector<unsigned char>& buffer, std::size_t limit, const char* what, Query query) {
    NTSTATUS_ status;
    while ((status = query(buffer.data(), static_cast<ULONG>(buffer.size()))) == kInfoLengthMismatch && buffer.size() < limit)
        buffer.resize(buffer.size() * 2);
    if (status < 0) Trace(what, "handles", static_cast<DWORD>(status));
    return status >= 0;
}

// The entries of a handle list: their count, bounded by what the buffer holds.
template <typename Entry>
std::size_t Entries(const std::vector<unsigned char>& buffer) {
    const auto count = *reinterpret_cast<const ULONG_PTR*>(buffer.data());
    return std::min<std::size_t>(count, (buffer.size() - 2 * sizeof(ULONG_PTR)) / sizeof(Entry));
}

// Fills handles from a list's entries. Files are told by the type of file objects, learnt from
// the marker's entry when the list holds it; while it is unknown, every entry counts as one.
template <typename Entry, typename Fields>
void Fill(const std::vector<unsigned char>& buffer, std::vector<OpenHandle>& handles, ULONG& fileType, Fields fields) {
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + 2 * sizeof(ULONG_PTR));
    const std::size_t count = Entries<Entry>(buffer);
    for (std::size_t i = 0; i < count && fileType == 0; ++i)
        if (const auto [process, value, type] = fields(entries[i]);
            process == ::GetCurrentProcessId() && value == reinterpret_cast<ULONG_PTR>(Marker()))
            fileType = type;
    handles.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto [process, value, type] = fields(entries[i]);
        handles[i] = {static_cast<std::uint32_t>(process), value, fileType == 0 || type == fileType};
    }
}

struct SystemEntry {
    void* object;
    ULONG_PTR processId, value;
    ULONG access;
    USHORT backTrace, typeIndex;
    ULONG attributes, reserved;
};

struct ProcessEntry {
    HANDLE value;
    ULONG_PTR handleCount, pointerCount;
    ULONG access, typeIndex, attributes, reserved;
};

// Every handle of the system (Windows 7, Wine).
bool SystemList(std::vector<OpenHandle>& handles) {
    using QuerySystemFn = NTSTATUS_(NTAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = Ntdll<QuerySystemFn>("NtQuerySystemInformation");
    static std::vector<unsigned char> buffer(1 << 20);
    static ULONG fileType = 0;
    Marker();
    if (!query || !Grown(buffer, kHandleListLimit, "NtQuerySystemInformation", [](void* to, ULONG size) {
            return query(kSystemExtendedHandleInformation, to, size, nullptr);
        }))
        return false;
    Fill<SystemEntry>(buffer, handles, fileType, [](const SystemEntry& e) {
        return std::tuple<ULONG_PTR, ULONG_PTR, ULONG>{e.processId, e.value, e.typeIndex};
    });
    return true;
}

// One process's handles, as Windows 8 and later list them; the marker's type comes from this
// program's own list.
bool ProcessSnapshot(std::uint32_t processId, std::vector<OpenHandle>& handles) {
    static const auto query = Ntdll<QueryProcessFn>("NtQueryInformationProcess");
    static std::vector<unsigned char> buffer(64 * 1024);
    static ULONG fileType = 0;
    static bool unsupported = false;
    const auto snapshot = [&](HANDLE process, DWORD id) {
        const bool listed = Grown(buffer, kHandleListLimit / 16, "NtQueryInformationProcess", [&](void* to, ULONG size) {
            return query(process, kProcessHandleInformation, to, size, nullptr);
        });
        if (listed)
            Fill<ProcessEntry>(buffer, handles, fileType, [&](const ProcessEntry& e) {
                return std::tuple<ULONG_PTR, ULONG_PTR, ULONG>{id, reinterpret_cast<ULONG_PTR>(e.value), e.typeIndex};
            });
        return listed;
    };
    if (!query || unsupported) return false;
    Marker();
    if (fileType == 0 && !snapshot(::GetCurrentProcess(), ::GetCurrentProcessId())) {
        unsupported = true;  // Windows 7 and Wine: the system's list instead
        return false;
    }
    Process process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process.handle) {  // another user's or an elevated process is not looked into
        handles.clear();
        return true;
    }
    return snapshot(process.handle, processId);  // else the system's list
}

// ---- Handle paths, asked on a worker so that a handle that blocks cannot hold up the tick

struct Worker {
    HANDLE ask = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE file = nullptr;
    HandlePath answer;
};

DWORD WINAPI AnswerPaths(void* parameter) {
    auto* worker = static_cast<Worker*>(parameter);
    while (::WaitForSingleObject(worker->ask, INFINITE) == WAIT_OBJECT_0) {
        worker->answer = {HandlePath::Outcome::NotDiskFile, {}};
        if (::GetFileType(worker->file) == FILE_TYPE_DISK) {
            std::wstring path(32768, L'\0');
            const DWORD length = ::GetFinalPathNameByHandleW(worker->file, path.data(), 32768, 0);
            worker->answer.outcome = length == 0 || length >= 32768 ? HandlePath::Outcome::Failed : HandlePath::Outcome::Path;
            worker->answer.path = Utf8(path.data(), static_cast<int>(length < 32768 ? length : 0));
        }
        ::SetEvent(worker->done);
    }
    return 0;
}

// "\\?\C:\x" as "C:\x", "\\?\UNC\server\x" as "\\server\x".
std::string WithoutPrefix(std::string path) {
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\" + path.substr(7);
    if (path.rfind("\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

// The worker of this process; a new one replaces a worker left blocked.
Worker* CurrentWorker(bool replace) {
    static Worker* worker = nullptr;
    static int stuck = 0;
    if (replace && worker) {
        worker = nullptr;  // left to its blocked call, with its events and the handle it was asking about
        ++stuck;
    }
    if (!worker && stuck < kStuckWorkersLimit) {
        auto* fresh = new Worker;
        const HANDLE thread = ::CreateThread(nullptr, 64 * 1024, AnswerPaths, fresh, 0, nullptr);
        if (!thread || !fresh->ask || !fresh->done) {
            Trace("CreateThread", "handle paths", ::GetLastError());
            return nullptr;
        }
        ::CloseHandle(thread);
        worker = fresh;
    }
    return worker;
}

// ---- Mapped files

// "\Device\HarddiskVolume2\x" with the drive letter that device has, "C:\x".
std::string OnDrive(const std::wstring& devicePath) {
    wchar_t drive[3] = L"A:";
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        drive[0] = letter;
        wchar_t device[MAX_PATH];
        if (!::QueryDosDeviceW(drive, device, MAX_PATH)) continue;
        const std::size_t length = static_cast<std::size_t>(::lstrlenW(device));
        if (devicePath.size() > length && devicePath.compare(0, length, device) == 0 && devicePath[length] == L'\\')
            return Utf8(drive, 2) + Utf8(devicePath.c_str() + length);
    }
    return {};
}

}  // namespace

std::optional<std::string> Win32Kernel::ProcessCommandLine(std::uint32_t processId) {
    if (auto given = CommandLineGiven(processId)) return given;
    Process process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process.handle) {
        Trace("OpenProcess", std::to_string(processId), ::GetLastError());
        return std::nullopt;
    }
    const bool wow64Self = IsWow64(::GetCurrentProcess());
    if (sizeof(void*) == 4 && wow64Self && !IsWow64(process.handle)) {
        // A 64-bit emulator seen from this 32-bit program: through the WoW64 calls.
        const auto query = Ntdll<QueryProcessFn>("NtWow64QueryInformationProcess64");
        const auto read = Ntdll<ReadMemory64Fn>("NtWow64ReadVirtualMemory64");
        BasicInformation64 basic{};
        if (!query || !read || query(process.handle, kProcessBasicInformation, &basic, sizeof basic, nullptr) < 0)
            return std::nullopt;
        return CommandLineFromPeb<std::uint64_t>(Remote{process.handle, read}, basic.peb);
    }
    const auto query = Ntdll<QueryProcessFn>("NtQueryInformationProcess");
    struct {
        LONG exitStatus;
        void* peb;
        ULONG_PTR rest[4];
    } basic{};
    if (!query || query(process.handle, kProcessBasicInformation, &basic, sizeof basic, nullptr) < 0) {
        Trace("NtQueryInformationProcess", std::to_string(processId), ::GetLastError());
        return std::nullopt;
    }
    return CommandLineFromPeb<std::uintptr_t>(Remote{process.handle, nullptr}, reinterpret_cast<std::uintptr_t>(basic.peb));
}

bool Win32Kernel::ProcessHandles(std::uint32_t processId, std::vector<OpenHandle>& handles) {
    // Windows 8 and later list one process's handles, at a cost that follows its own count.
    if (ProcessSnapshot(processId, handles)) return true;
    return SystemList(handles);
}

HandlePath Win32Kernel::PathOfHandle(std::uint32_t processId, std::uintptr_t handle, std::uint32_t budgetMs) {
    static std::uint32_t openId = 0;
    static HANDLE process = nullptr;
    if (openId != processId) {
        if (process) ::CloseHandle(process);
        process = ::OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId);
        openId = processId;
        if (!process) Trace("OpenProcess", std::to_string(processId), ::GetLastError());
    }
    HANDLE file = nullptr;
    if (!process || !::DuplicateHandle(process, reinterpret_cast<HANDLE>(handle), ::GetCurrentProcess(), &file, 0, FALSE,
                                       DUPLICATE_SAME_ACCESS))
        return {};
    Worker* worker = CurrentWorker(false);
    if (!worker) {
        ::CloseHandle(file);
        return {};
    }
    worker->file = file;
    ::SetEvent(worker->ask);
    if (::WaitForSingleObject(worker->done, budgetMs) != WAIT_OBJECT_0) {
        CurrentWorker(true);
        return {HandlePath::Outcome::TimedOut, {}};
    }
    ::CloseHandle(file);
    HandlePath answer = worker->answer;
    answer.path = WithoutPrefix(answer.path);
    return answer;
}

std::vector<std::string> Win32Kernel::MappedFiles(std::uint32_t processId) {
    using MappedNameFn = DWORD(WINAPI*)(HANDLE, void*, wchar_t*, DWORD);
    static const auto mappedName = reinterpret_cast<MappedNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "K32GetMappedFileNameW")));
    std::vector<std::string> files;
    Process process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process.handle || !mappedName) return files;
    MEMORY_BASIC_INFORMATION region;
    auto* at = static_cast<unsigned char*>(nullptr);
    for (int regions = 0; regions < 65536 && ::VirtualQueryEx(process.handle, at, &region, sizeof region) == sizeof region;
         ++regions) {
        if (region.Type == MEM_MAPPED && region.BaseAddress == region.AllocationBase) {
            std::wstring name(32768, L'\0');
            const DWORD length = mappedName(process.handle, region.BaseAddress, name.data(), 32768);
            if (length > 0 && length < 32768) {
                name.resize(length);
                if (std::string path = OnDrive(name); !path.empty()) files.push_back(std::move(path));
            }
        }
        const auto next = static_cast<unsigned char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return files;
}

}  // namespace kavri::win32
