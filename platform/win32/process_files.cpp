// What the emulator process was started with and holds: its command line and current folder
// from its process environment block, its open files from a handle list, and the files it maps.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
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

// A counted string of the process's memory.
template <typename Ptr>
std::optional<std::string> RemoteText(const Remote& remote, const UnicodeStringOf<Ptr>& string) {
    std::wstring text(string.length / sizeof(wchar_t), L'\0');
    if (!text.empty() && !remote.Read(string.buffer, text.data(), text.size() * sizeof(wchar_t))) return std::nullopt;
    return Utf8(text.data(), static_cast<int>(text.size()));
}

// The command line and current folder from the process environment block: its process
// parameters' CommandLine and CurrentDirectory.
template <typename Ptr>
std::optional<ProcessStart> ParametersFromPeb(const Remote& remote, std::uint64_t peb) {
    Ptr parameters = 0;
    if (!remote.Read(peb + 4 * sizeof(Ptr), &parameters, sizeof parameters)) return std::nullopt;
    constexpr std::uint64_t kLineAt = sizeof(Ptr) == 8 ? 0x70 : 0x40, kFolderAt = sizeof(Ptr) == 8 ? 0x38 : 0x24;
    UnicodeStringOf<Ptr> line{}, folder{};
    if (!remote.Read(std::uint64_t{parameters} + kLineAt, &line, sizeof line)) return std::nullopt;
    auto text = RemoteText(remote, line);
    if (!text) return std::nullopt;
    ProcessStart start{std::move(*text), {}};
    if (remote.Read(std::uint64_t{parameters} + kFolderAt, &folder, sizeof folder))
        start.currentFolder = RemoteText(remote, folder).value_or(std::string());
    return start;
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

struct Fields {
    ULONG_PTR process, value;
    ULONG type;
    std::uint64_t object;
};

// Fills handles from a list's entries. Files are told by the type of file objects, learnt from
// the marker's entry when the list holds it; while it is unknown, every entry counts as one.
// The marker's entry is given back, for what the list says of it.
template <typename Entry, typename Read>
std::optional<Fields> Fill(const std::vector<unsigned char>& buffer, std::vector<OpenHandle>& handles, ULONG& fileType,
                           Read fields) {
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + 2 * sizeof(ULONG_PTR));
    const std::size_t count = Entries<Entry>(buffer);
    std::optional<Fields> marker;
    for (std::size_t i = 0; i < count && !marker; ++i)
        if (const Fields f = fields(entries[i]);
            f.process == ::GetCurrentProcessId() && f.value == reinterpret_cast<ULONG_PTR>(Marker()))
            marker = f;
    if (marker && fileType == 0) fileType = marker->type;
    handles.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Fields f = fields(entries[i]);
        handles[i] = {static_cast<std::uint32_t>(f.process), f.value, fileType == 0 || f.type == fileType, f.object};
    }
    return marker;
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

// ---- Mapped files

// A mapped view's name with a drive letter: "\Device\HarddiskVolume2\x" as the drive of that
// device, "C:\x"; the "\??\C:\x" form Wine gives as "C:\x".
std::string OnDrive(const std::wstring& devicePath) {
    if (devicePath.rfind(L"\\??\\", 0) == 0 && devicePath.size() > 7 && devicePath[5] == L':' && devicePath[6] == L'\\')
        return Utf8(devicePath.c_str() + 4);
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

// ---- The watch of one process's handles

bool ProcessWatch::SystemList(std::vector<OpenHandle>& handles) {
    using QuerySystemFn = NTSTATUS_(NTAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = Ntdll<QuerySystemFn>("NtQuerySystemInformation");
    Marker();
    if (!query || !Grown(systemBuffer_, kHandleListLimit, "NtQuerySystemInformation", [](void* to, ULONG size) {
            return query(kSystemExtendedHandleInformation, to, size, nullptr);
        }))
        return false;
    const auto marker = Fill<SystemEntry>(systemBuffer_, handles, systemFileType_, [](const SystemEntry& e) {
        return Fields{e.processId, e.value, e.typeIndex, reinterpret_cast<std::uintptr_t>(e.object)};
    });
    // Windows keeps object addresses from programs without the debug privilege since 11 24H2.
    if (objectsNamed_ == Named::Unknown && marker) objectsNamed_ = marker->object != 0 ? Named::Yes : Named::No;
    return true;
}

bool ProcessWatch::ProcessList(std::uint32_t processId, std::vector<OpenHandle>& handles) {
    static const auto query = Ntdll<QueryProcessFn>("NtQueryInformationProcess");
    const auto snapshot = [&](HANDLE process, DWORD id) {
        const bool listed = Grown(processBuffer_, kHandleListLimit / 16, "NtQueryInformationProcess", [&](void* to, ULONG size) {
            return query(process, kProcessHandleInformation, to, size, nullptr);
        });
        if (listed)
            Fill<ProcessEntry>(processBuffer_, handles, processFileType_, [&](const ProcessEntry& e) {
                return Fields{id, reinterpret_cast<ULONG_PTR>(e.value), e.typeIndex, 0};
            });
        return listed;
    };
    if (!query || processListMissing_) return false;
    Marker();
    if (processFileType_ == 0 && !snapshot(::GetCurrentProcess(), ::GetCurrentProcessId())) {
        processListMissing_ = true;  // Windows 7 and Wine: the system's list instead
        return false;
    }
    Process process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process.handle) {  // another user's or an elevated process is not looked into
        handles.clear();
        return true;
    }
    return snapshot(process.handle, processId);  // else the system's list
}

bool ProcessWatch::Handles(std::uint32_t processId, std::vector<OpenHandle>& handles) {
    const bool listed = [&] {
        if (objectsNamed_ != Named::No && SystemList(handles) && objectsNamed_ == Named::Yes) return true;
        if (ProcessList(processId, handles)) return true;
        return SystemList(handles);
    }();
    // A new look: its handles are asked within one budget, from where the last look stopped.
    if (lookProcessId_ != processId) workers_.Clear();
    lookProcessId_ = processId;
    workers_.StartLook([&](const HandleKey& key) {
        return listed && std::any_of(handles.begin(), handles.end(), [&](const OpenHandle& h) {
                   return h.processId == processId && h.file && h.value == key.first && h.object == key.second;
               });
    });
    return listed;
}

HANDLE ProcessWatch::Opened(std::uint32_t processId) {
    if (processId_ != processId) {
        Forget(processId_);
        processId_ = processId;
        process_ = ::OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId);
        if (!process_) Trace("OpenProcess", std::to_string(processId), ::GetLastError());
    }
    return process_;
}

void ProcessWatch::Forget(std::uint32_t processId) {
    if (processId != processId_ || !process_) return;
    ::CloseHandle(process_);
    process_ = nullptr;
    processId_ = 0;
}

HandlePath ProcessWatch::PathOf(std::uint32_t processId, const OpenHandle& handle, std::uint32_t budgetMs) {
    return workers_.PathOf({handle.value, handle.object}, budgetMs, [&]() -> std::optional<HANDLE> {
        const HANDLE process = Opened(processId);
        HANDLE file = nullptr;
        if (!process || !::DuplicateHandle(process, reinterpret_cast<HANDLE>(handle.value), ::GetCurrentProcess(), &file,
                                           0, FALSE, DUPLICATE_SAME_ACCESS))
            return std::nullopt;
        return file;
    });
}

// ---- The kernel service's calls

std::optional<ProcessStart> Win32Kernel::ProcessParameters(std::uint32_t processId) {
    Process process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    std::optional<ProcessStart> start;
    if (!process.handle) {
        Trace("OpenProcess", std::to_string(processId), ::GetLastError());
    } else if (sizeof(void*) == 4 && IsWow64(::GetCurrentProcess()) && !IsWow64(process.handle)) {
        // A 64-bit emulator seen from this 32-bit program: through the WoW64 calls.
        const auto query = Ntdll<QueryProcessFn>("NtWow64QueryInformationProcess64");
        const auto read = Ntdll<ReadMemory64Fn>("NtWow64ReadVirtualMemory64");
        BasicInformation64 basic{};
        if (query && read && query(process.handle, kProcessBasicInformation, &basic, sizeof basic, nullptr) >= 0)
            start = ParametersFromPeb<std::uint64_t>(Remote{process.handle, read}, basic.peb);
    } else {
        const auto query = Ntdll<QueryProcessFn>("NtQueryInformationProcess");
        struct {
            LONG exitStatus;
            void* peb;
            ULONG_PTR rest[4];
        } basic{};
        if (query && query(process.handle, kProcessBasicInformation, &basic, sizeof basic, nullptr) >= 0)
            start = ParametersFromPeb<std::uintptr_t>(Remote{process.handle, nullptr}, reinterpret_cast<std::uintptr_t>(basic.peb));
        else
            Trace("NtQueryInformationProcess", std::to_string(processId), ::GetLastError());
    }
    if (start) return start;
    // An elevated emulator's memory may not be read; Windows 8.1 and later still give its
    // command line, without its current folder.
    if (auto line = CommandLineGiven(processId)) return ProcessStart{std::move(*line), {}};
    return std::nullopt;
}

HandleList Win32Kernel::ProcessHandles(std::uint32_t processId, std::vector<OpenHandle>& handles) {
    // A query that failed this time (the list outgrew its limit, the system refused it) tells
    // nothing of what the process holds.
    return watch_.Handles(processId, handles) ? HandleList::Listed : HandleList::Unknown;
}

HandlePath Win32Kernel::PathOfHandle(std::uint32_t processId, const OpenHandle& handle, std::uint32_t budgetMs) {
    return watch_.PathOf(processId, handle, budgetMs);
}

void Win32Kernel::ForgetProcess(std::uint32_t processId) { watch_.Forget(processId); }

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
