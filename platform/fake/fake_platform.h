// A scripted platform for tests, fuzzing and benchmarks: a settable clock, a process list,
// drives with MCI replies, an in-memory file system with failure injection, and a recorder of
// window and tray calls. Every call that matters for ordering goes into one shared log.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kavri::fake {

// The calls in order. A call whose entry starts with throwOn throws instead of answering, for
// tests of what an abandoned handler leaves behind.
struct CallLog : std::vector<std::string> {
    using std::vector<std::string>::vector;
    std::string throwOn;
    void Record(std::string entry);
};

class FakeFileSystem;

class FakeKernel : public Kernel {
public:
    explicit FakeKernel(CallLog& log) : log_(log) {}

    std::map<char, std::uint32_t> driveTypes;  // by upper-case letter; others are type 1
    std::vector<std::string> processes;        // names as the snapshot reports them
    bool snapshotFails = false;
    int entriesFetched = 0;
    int openSnapshots = 0;
    bool badRecordSize = false;  // some call got a record whose dwSize was not 296
    // What the processes were started with and hold; a process's id is 100 + its index above.
    std::map<std::uint32_t, std::string> commandLines;
    std::map<std::uint32_t, std::string> currentFolders;
    std::vector<OpenHandle> handles;
    int listFailures = 0;  // so many of the next handle lists cannot be had
    std::map<std::uintptr_t, HandlePath> handlePaths;  // by handle value; others are no disk file
    std::map<std::uint32_t, std::vector<std::string>> mappedFiles;
    int commandLineReads = 0;
    int pathQueries = 0;                // handles asked for their path
    int mappedWalks = 0;                // walks of a process's mapped views
    std::uint32_t longestBudgetMs = 0;  // the longest time a path query was allowed
    // The workers, as the Windows layer keeps them: one that timed out stays on its handle (by
    // value and object) until the test lets it answer; with every worker held, none is free.
    static constexpr std::size_t kWorkers = 4;
    std::set<std::pair<std::uintptr_t, std::uint64_t>> stuck;
    std::set<std::pair<std::uintptr_t, std::uint64_t>> unreached;  // not reached by the look's time
    std::vector<std::uint32_t> forgotten;  // processes released, in order

    std::uint32_t GetDriveTypeA(const char* rootPathName) override;
    Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) override;
    std::int32_t Process32First(Handle snapshot, ProcessEntry32* entry) override;
    std::int32_t Process32Next(Handle snapshot, ProcessEntry32* entry) override;
    std::int32_t CloseHandle(Handle object) override;
    std::optional<ProcessStart> ProcessParameters(std::uint32_t processId) override;
    // The system's whole list, as Windows 7 gives it.
    HandleList ProcessHandles(std::uint32_t processId, std::vector<OpenHandle>& list) override;
    HandlePath PathOfHandle(std::uint32_t processId, const OpenHandle& handle, std::uint32_t budgetMs) override;
    void ForgetProcess(std::uint32_t processId) override { forgotten.push_back(processId); }
    std::vector<std::string> MappedFiles(std::uint32_t processId) override;

private:
    std::int32_t Fill(ProcessEntry32* entry);

    CallLog& log_;
    std::size_t next_ = 0;
    Handle current_ = 0;
};

class FakeShell : public Shell {
public:
    FakeShell(CallLog& log, FakeFileSystem& files) : log_(log), files_(files) {}

    struct NotifyCall {
        std::uint32_t message;
        NotifyIconDataA data;
    };
    struct Balloon {
        std::uint32_t cbSize;
        Handle hWnd;
        std::uint32_t uID, uFlags, dwInfoFlags;
        std::string title, text;  // UTF-8
    };
    struct ExecuteCall {
        Handle hwnd;
        std::string operation, file, parameters, directory;
        std::int32_t showCommand;
    };
    struct LinkCall {
        std::string link, target, workingDirectory;
    };
    std::vector<NotifyCall> notifyCalls;
    std::vector<Balloon> balloons;
    std::vector<ExecuteCall> executeCalls;
    std::vector<LinkCall> links;
    int iconsShown = 0;   // icons added and not removed
    int addFailures = 0;  // so many adds fail, as while the taskbar is not up yet
    int addTimeouts = 0;  // so many adds report failure although the icon was added
    bool linkFails = false;
    std::map<ShellFolder, std::string> folders = {
        {ShellFolder::Startup, "C:\\Users\\Kavri\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
        {ShellFolder::LocalAppData, "C:\\Users\\Kavri\\AppData\\Local"},
        {ShellFolder::Temp, "C:\\Users\\Kavri\\AppData\\Local\\Temp"}};

    std::int32_t Shell_NotifyIconA(std::uint32_t message, NotifyIconDataA* data) override;
    std::int32_t Shell_NotifyIconW(std::uint32_t message, NotifyIconBalloonW* data) override;
    Handle ShellExecuteA(Handle hwnd, const char* operation, const char* file, const char* parameters,
                                const char* directory, std::int32_t showCommand) override;
    std::optional<std::string> Folder(ShellFolder which) override;
    // A made shortcut lands in the fake file system as "target|working directory".
    bool CreateShellLink(const std::string& link, const std::string& target,
                         const std::string& workingDirectory) override;
    std::optional<std::string> ShellLinkTarget(const std::string& link) override;

private:
    CallLog& log_;
    FakeFileSystem& files_;
};

class FakeMultimedia : public Multimedia {
public:
    explicit FakeMultimedia(CallLog& log) : log_(log) {}

    struct DriveScript {
        std::string status = "false";  // the media query's reply
        bool statusFails = false;      // the query leaves the reply buffer untouched
        std::string openReply = "1";   // what the open command leaves in the buffer
    };
    std::map<std::string, DriveScript> drives;  // by drive name, "D:"
    std::vector<std::string> commands;
    bool aliasMisused = false;  // opened while open, or queried or closed while closed
    bool badReplyLength = false;

    void Insert(const std::string& drive) { drives[drive].status = "true"; }
    void Eject(const std::string& drive) { drives[drive].status = "false"; }

    std::uint32_t mciSendStringA(const char* command, char* returnString, std::uint32_t returnLength,
                                 Handle hwndCallback) override;

private:
    CallLog& log_;
    std::string openDrive_;
};

class FakeWindowing : public Windowing {
public:
    explicit FakeWindowing(CallLog& log) : log_(log) {}

    bool prevInstance = false;
    std::string appPath = "C:\\Program Files\\KavriStat";
    std::string exeName = "KavriStat.exe";
    float twipsPerPixel = 15.0f;
    bool visible = false;
    bool ended = false;
    std::function<void()> onUnload;          // the close handlers, as the real layer runs them
    std::deque<int> menuChoices;              // item chosen at each popup; -1 when none is left
    std::function<void()> whileMenuOpen;      // events delivered while the menu is open
    std::function<void()> whileMessageBoxOpen;
    struct MessageBox {
        std::string prompt;
        int style;
        std::string title;
    };
    std::vector<MessageBox> messageBoxes;
    std::vector<int> menuDefaults;
    // What the user types in each text dialog, nothing for Cancel. A text the dialog's check
    // refuses cannot be taken: the user cancels, and the reason is kept.
    std::deque<std::optional<std::string>> typed;
    std::vector<std::string> prefilled;  // each dialog's value as it opened
    std::vector<std::string> refusals;
    std::deque<std::optional<std::string>> chosenFiles;  // what each Open dialog gives

    bool PrevInstance() override { return prevInstance; }
    std::string AppPath() override { return appPath; }
    std::string ExePath() override;
    float TwipsPerPixelX() override { return twipsPerPixel; }
    Handle WindowHandle() override { return 0x00010042; }
    Handle IconHandle() override { return 0x00020017; }
    void Show() override;
    void Hide() override;
    void Unload() override;
    void End() override;
    int PopupMenu(const Menu& menu, int defaultItem) override;
    int MsgBox(const std::string& prompt, int style, const std::string& title) override;
    std::optional<std::string> InputText(const std::string& title, const std::string& prompt, const std::string& value,
                                         std::size_t maxCharacters, const TextCheck& check) override;
    std::optional<std::string> ChooseTextFile(const std::string& title) override;
    // What the user sets in each Options dialog, nothing for Cancel; the reasons it showed. A
    // limit the check refuses cannot be taken: the user cancels, and the reason joins refusals.
    std::deque<std::optional<IdleOptions>> optionsChosen;
    std::vector<std::string> blindReasons;
    std::optional<IdleOptions> AskIdleOptions(const IdleOptions& current, const std::string& blindReason,
                                              const TextCheck& limitCheck) override;

private:
    CallLog& log_;
};

// The power fails in the middle of a write: the program dies there.
struct PowerCut : std::exception {};

// Files keyed by path without regard to letter case, answering as Windows does.
class FakeFileSystem : public FileSystem {
public:
    explicit FakeFileSystem(CallLog& log) : log_(log) {}

    std::set<std::string> locked;            // held by another program: measurable, not readable or writable
    std::set<std::string> unwritable;        // read-only files
    std::set<std::string> undeletable;       // files whose removal fails
    std::set<std::string> protectedFolders;  // no new file may be created in them
    std::set<std::string> folders;           // folders that exist besides those holding files
    std::set<std::string> devices;           // names that open a device, not a disk file
    std::set<std::string> unreadable;        // open, but every read of them fails (a share gone since)
    bool failWritesPartWay = false;          // every write breaks off after some bytes
    bool diskFull = false;                   // every write fails for lack of space
    // So many more bytes get written; the write that would pass the limit is cut there, leaving
    // what got through, and throws PowerCut.
    std::optional<std::size_t> powerCutAfter;
    int writes = 0;
    int opens = 0;                 // disk files opened for reading
    int rangesRead = 0;            // reads from them
    std::uint64_t bytesRead = 0;   // and the bytes they gave

    void Put(const std::string& path, std::string bytes);
    // A file of size bytes made on demand, as a device or a file another program writes answers:
    // each read of it is answered by make(offset, length), which may give fewer bytes than asked
    // (as many reads as it likes) or nothing (the read failed).
    using MakeBytes = std::function<std::optional<std::string>(std::uint64_t offset, std::size_t length)>;
    void Make(const std::string& path, std::uint64_t size, MakeBytes make);
    bool Has(const std::string& path) const;
    std::string Get(const std::string& path) const;
    // Every file, for a disk that outlives the program.
    const std::map<std::string, std::string>& All() const { return files_; }
    void PutAll(std::map<std::string, std::string> files) { files_ = std::move(files); }

    std::optional<std::int64_t> FileLen(const std::string& path) override;
    std::optional<std::string> ReadText(const std::string& path, std::size_t maxBytes) override;
    std::optional<FileStamp> Stamp(const std::string& path) override;
    std::unique_ptr<ReadOnlyFile> OpenDiskFile(const std::string& path) override;
    // A read of an open file: nothing once the file is locked or gone.
    std::optional<std::string> ReadOpen(const std::string& key, std::uint64_t offset, std::size_t length);
    FileStatus WriteWholeFile(const std::string& path, std::string_view bytes) override;
    FileStatus RewriteFile(const std::string& path, std::string_view bytes) override;
    FileStatus CopyWhole(const std::string& from, const std::string& to) override;
    FileStatus WriteBinary(const std::string& path, std::string_view bytes) override;
    FileStatus Erase(const std::string& path) override;
    FileStatus MakeFolder(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool IsReadOnly(const std::string& path) override;

private:
    static bool Listed(const std::set<std::string>& paths, const std::string& key);
    FileError WriteFails(const std::string& key, bool createsFile) const;
    // Writes bytes to key unless the power fails first; inPlace keeps the old bytes past the cut.
    void Land(const std::string& key, std::string_view bytes, bool inPlace);

    CallLog& log_;
    std::map<std::string, std::string> files_;
    std::map<std::string, std::pair<std::uint64_t, MakeBytes>> made_;  // by key: size and maker
    std::map<std::string, std::uint64_t> changed_;  // when each file was last written, in writes
    std::uint64_t changes_ = 0;
};

class FakeClock : public Clock {
public:
    LocalDateTime now{2000, 8, 2, 14, 5, 9};  // a Wednesday
    int utcOffsetMinutes = 0;                  // local time less UTC, as daylight saving moves it
    std::string timeSeparator = ":";
    // The locale's abbreviated month names, in the code page.
    std::vector<std::string> monthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

    void Set(int year, int month, int day, int hour, int minute, int second);
    std::uint64_t asleepMs = 0;

    // Moves the clock by a number of seconds, across days and months.
    void Advance(long long seconds);
    // The computer sleeps so many seconds: the clock moves on and the time asleep grows.
    void Sleep(long long seconds) {
        Advance(seconds);
        asleepMs += static_cast<std::uint64_t>(seconds) * 1000;
    }

    LocalDateTime Now() override { return now; }
    std::int64_t UtcMinutes() override { return MinuteSerial(now) - utcOffsetMinutes; }
    std::int64_t UtcSeconds() override { return UtcMinutes() * 60 + now.second; }
    int Weekday(const LocalDateTime& t) override { return WeekdayOf(t); }
    std::string DateText(const LocalDateTime& t) override;
    std::uint64_t MillisecondsAsleep() override { return asleepMs; }
};

// The code page is Latin-1 with the em dash at 0x97, as Windows-1252 has it.
class FakeCodePage : public CodePage {
public:
    std::optional<std::string> ToCodePage(std::string_view utf8) override;
    std::string FromCodePage(std::string_view text) override;
};

// Work posted runs when it is waited for long enough (workMs each, one after the other) or at the
// next Collect, unless the network it waits on stalled: then it runs once that resumes.
class FakeBackground : public Background {
public:
    bool stalled = false;
    unsigned workMs = 0;  // how long each work takes
    int posted = 0;
    unsigned longestWaitMs = 0;  // the longest a tick was willing to wait
    void Post(Work work) override;
    bool Wait(unsigned ms) override;
    void Collect() override;

private:
    std::deque<Work> queued_;
    std::vector<std::function<void()>> steps_;
};

// Pads in their slots, replayed as set; the keyboard's last input; a steady clock the test moves.
class FakeInput : public Input {
public:
    bool xinput = true;
    std::array<std::optional<PadReading>, 4> pads{};
    std::uint32_t lastKeyboard = 0;
    std::vector<std::string> controllers;  // the joysticks' and game pads' device names
    std::uint64_t steadyMs = 0;
    std::array<int, 4> slotReads{};  // how often each slot was asked

    bool PadsReadable() override { return xinput; }
    std::optional<PadReading> ReadPad(int slot) override;
    std::uint32_t LastKeyboardOrMouse() override { return lastKeyboard; }
    std::vector<std::string> GameControllers() override;
    std::uint64_t SteadyMs() override { return steadyMs; }
};

struct FakePlatform {
    CallLog log;
    FakeFileSystem files{log};
    FakeKernel kernel{log};
    FakeShell shell{log, files};
    FakeMultimedia multimedia{log};
    FakeWindowing windowing{log};
    FakeClock clock;
    FakeCodePage codePage;
    FakeBackground background;
    FakeInput input;

    Platform platform() { return Platform{kernel, shell, multimedia, windowing, files, clock, codePage, background, input}; }
};

}  // namespace kavri::fake
