// The Windows kernel, shell, multimedia, file system and clock services, called directly.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/process_watch.h"

namespace kavri::win32 {

class Win32Kernel : public Kernel {
public:
    std::uint32_t GetDriveTypeA(const char* rootPathName) override;
    Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) override;
    std::int32_t Process32First(Handle snapshot, ProcessEntry32* entry) override;
    std::int32_t Process32Next(Handle snapshot, ProcessEntry32* entry) override;
    std::int32_t CloseHandle(Handle object) override;
    // platform/win32/process_files.cpp
    std::optional<ProcessStart> ProcessParameters(std::uint32_t processId) override;
    HandleList ProcessHandles(std::uint32_t processId, std::vector<OpenHandle>& handles) override;
    HandlePath PathOfHandle(std::uint32_t processId, const OpenHandle& handle, std::uint32_t budgetMs) override;
    void ForgetProcess(std::uint32_t processId) override;
    std::vector<std::string> MappedFiles(std::uint32_t processId) override;

private:
    ProcessWatch watch_;
};

class Win32Shell : public Shell {
public:
    std::int32_t Shell_NotifyIconA(std::uint32_t message, NotifyIconDataA* data) override;
    std::int32_t Shell_NotifyIconW(std::uint32_t message, NotifyIconBalloonW* data) override;
    Handle ShellExecuteA(Handle hwnd, const char* operation, const char* file, const char* parameters,
                                const char* directory, std::int32_t showCommand) override;
    std::optional<std::string> Folder(ShellFolder which) override;
    bool CreateShellLink(const std::string& linkPath, const std::string& target,
                         const std::string& workingDirectory) override;
    std::optional<std::string> ShellLinkTarget(const std::string& linkPath) override;
};

// The multimedia DLL is loaded from the system folder at the first command, not imported.
class Win32Multimedia : public Multimedia {
public:
    std::uint32_t mciSendStringA(const char* command, char* returnString, std::uint32_t returnLength,
                                 Handle hwndCallback) override;

private:
    using SendString = std::uint32_t(__stdcall*)(const char*, char*, unsigned, void*);
    using ErrorString = int(__stdcall*)(std::uint32_t, char*, unsigned);
    bool loaded_ = false;
    SendString send_ = nullptr;
    ErrorString error_ = nullptr;
};

class Win32FileSystem : public FileSystem {
public:
    std::optional<std::int64_t> FileLen(const std::string& path) override;
    std::optional<std::string> ReadText(const std::string& path, std::size_t maxBytes) override;
    std::optional<FileStamp> Stamp(const std::string& path) override;
    std::unique_ptr<ReadOnlyFile> OpenDiskFile(const std::string& path) override;
    FileStatus WriteWholeFile(const std::string& path, std::string_view bytes) override;
    FileStatus RewriteFile(const std::string& path, std::string_view bytes) override;
    FileStatus CopyWhole(const std::string& from, const std::string& to) override;
    FileStatus WriteBinary(const std::string& path, std::string_view bytes) override;
    FileStatus Erase(const std::string& path) override;
    FileStatus MakeFolder(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool IsReadOnly(const std::string& path) override;
};

// One worker thread runs the posted work in order; the steps it hands back wait for Collect.
class Win32Background : public Background {
public:
    Win32Background();
    void Post(Work work) override;
    bool Wait(unsigned ms) override;
    void Collect() override;

private:
    static DWORD WINAPI Run(void* self);
    CRITICAL_SECTION lock_;
    HANDLE wake_;
    HANDLE idle_;  // set while no work waits or runs
    std::deque<Work> work_;
    std::vector<std::function<void()>> steps_;
    bool started_ = false;
};

// Pads, the keyboard and mouse, and game controllers; XInput is loaded at the first question.
class Win32Input : public Input {
public:
    bool PadsReadable() override;
    std::optional<PadReading> ReadPad(int slot) override;
    std::uint32_t LastKeyboardOrMouse() override;
    std::vector<std::string> GameControllers() override;
    std::uint64_t SteadyMs() override;

private:
    void Load();
    bool loaded_ = false;
    void* getState_ = nullptr;  // XInputGetState
};

class Win32Clock : public Clock {
public:
    LocalDateTime Now() override;
    std::int64_t UtcMinutes() override;
    std::int64_t UtcSeconds() override;
    int Weekday(const LocalDateTime& t) override;
    std::string DateText(const LocalDateTime& t) override;
    std::uint64_t MillisecondsAsleep() override;
};

class Win32CodePage : public CodePage {
public:
    std::optional<std::string> ToCodePage(std::string_view utf8) override;
    std::string FromCodePage(std::string_view text) override;
};

}  // namespace kavri::win32
