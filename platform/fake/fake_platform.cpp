#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kavri::fake {
namespace {

constexpr Handle kSnapshot = 0x0000BEEF;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

// ---- Kernel

std::uint32_t FakeKernel::GetDriveTypeA(const char* rootPathName) {
    log_.push_back(std::string("GetDriveTypeA ") + rootPathName);
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(rootPathName[0])));
    const auto it = driveTypes.find(letter);
    return it == driveTypes.end() ? 1 : it->second;
}

Handle FakeKernel::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) {
    log_.push_back("CreateToolhelp32Snapshot " + std::to_string(flags) + " " + std::to_string(processId));
    if (snapshotFails || flags != kTh32csSnapProcess) return kInvalidHandle;
    ++openSnapshots;
    current_ = kSnapshot;
    return kSnapshot;
}

std::int32_t FakeKernel::Fill(ProcessEntry32* entry) {
    if (entry->dwSize != sizeof(ProcessEntry32)) badRecordSize = true;
    if (next_ >= processes.size()) return 0;
    const std::string& name = processes[next_];
    const std::size_t length = std::min(name.size(), sizeof entry->szExeFile);
    std::memcpy(entry->szExeFile, name.data(), length);
    if (length < sizeof entry->szExeFile) entry->szExeFile[length] = '\0';
    entry->th32ProcessID = static_cast<std::uint32_t>(100 + next_);
    ++next_;
    ++entriesFetched;
    return 1;
}

std::int32_t FakeKernel::Process32First(Handle snapshot, ProcessEntry32* entry) {
    log_.push_back("Process32First");
    if (snapshot != current_ || snapshot == kInvalidHandle) return 0;
    next_ = 0;
    return Fill(entry);
}

std::int32_t FakeKernel::Process32Next(Handle snapshot, ProcessEntry32* entry) {
    log_.push_back("Process32Next");
    if (snapshot != current_ || snapshot == kInvalidHandle) return 0;
    return Fill(entry);
}

std::int32_t FakeKernel::CloseHandle(Handle object) {
    log_.push_back("CloseHandle");
    if (object != current_ || object == 0) return 0;
    --openSnapshots;
    current_ = 0;
    return 1;
}

// ---- Shell

std::int32_t FakeShell::Shell_NotifyIconA(std::uint32_t message, NotifyIconDataA* data) {
    log_.push_back("Shell_NotifyIconA " + std::to_string(message));
    notifyCalls.push_back({message, *data});
    if (message == kNimAdd && iconsShown == 0) ++iconsShown;
    else if (message == kNimDelete && iconsShown > 0) --iconsShown;
    return 1;
}

std::uint32_t FakeShell::ShellExecuteA(std::uint32_t hwnd, const char* operation, const char* file,
                                       const char* parameters, const char* directory, std::int32_t showCommand) {
    log_.push_back(std::string("ShellExecuteA ") + file);
    executeCalls.push_back({hwnd, operation, file, parameters, directory, showCommand});
    return 42;
}

// ---- Multimedia

std::uint32_t FakeMultimedia::mciSendStringA(const char* command, char* returnString, std::uint32_t returnLength,
                                             std::uint32_t /*hwndCallback*/) {
    const std::string text = command;
    log_.push_back("mciSendStringA " + text);
    commands.push_back(text);
    if (returnLength != 6) badReplyLength = true;
    auto reply = [&](const std::string& value) {
        const std::size_t n = std::min<std::size_t>(value.size(), returnLength - 1);
        std::memcpy(returnString, value.data(), n);
        returnString[n] = '\0';
    };
    const std::string openPrefix = "open ", openSuffix = " Type cdaudio Alias cdtly wait";
    if (text.starts_with(openPrefix) && text.ends_with(openSuffix)) {
        if (!openDrive_.empty()) aliasMisused = true;
        openDrive_ = text.substr(openPrefix.size(), text.size() - openPrefix.size() - openSuffix.size());
        reply(drives[openDrive_].openReply);
        return 0;
    }
    if (text == "status cdtly media present wait") {
        if (openDrive_.empty()) aliasMisused = true;
        const DriveScript& script = drives[openDrive_];
        if (script.statusFails) return 263;
        reply(script.status);
        return 0;
    }
    if (text == "close cdtly") {
        if (openDrive_.empty()) aliasMisused = true;
        openDrive_.clear();
        reply("");
        return 0;
    }
    return 274;
}

// ---- Windowing

void FakeWindowing::Show() {
    log_.push_back("Show");
    visible = true;
}

void FakeWindowing::Hide() {
    log_.push_back("Hide");
    visible = false;
}

void FakeWindowing::Unload() {
    log_.push_back("Unload");
    if (onUnload) onUnload();
}

void FakeWindowing::End() {
    log_.push_back("End");
    ended = true;
}

int FakeWindowing::PopupMenu(const Menu& /*menu*/, int defaultItem) {
    log_.push_back("PopupMenu");
    menuDefaults.push_back(defaultItem);
    if (whileMenuOpen) whileMenuOpen();
    if (menuChoices.empty()) return -1;
    const int choice = menuChoices.front();
    menuChoices.pop_front();
    return choice;
}

int FakeWindowing::MsgBox(const std::string& prompt, int style, const std::string& title) {
    log_.push_back("MsgBox");
    messageBoxes.push_back({prompt, style, title});
    if (whileMessageBoxOpen) whileMessageBoxOpen();
    return 1;
}

// ---- File system

void FakeFileSystem::Put(const std::string& path, std::string bytes) { files_[Lower(path)] = std::move(bytes); }
bool FakeFileSystem::Has(const std::string& path) const { return files_.count(Lower(path)) != 0; }
void FakeFileSystem::Remove(const std::string& path) { files_.erase(Lower(path)); }

std::string FakeFileSystem::Get(const std::string& path) const {
    const auto it = files_.find(Lower(path));
    return it == files_.end() ? std::string() : it->second;
}

std::optional<std::int64_t> FakeFileSystem::FileLen(const std::string& path) {
    log_.push_back("FileLen " + path);
    const auto it = files_.find(Lower(path));
    if (it == files_.end()) return std::nullopt;
    return static_cast<std::int64_t>(it->second.size());
}

std::optional<std::string> FakeFileSystem::ReadText(const std::string& path, std::size_t maxBytes) {
    log_.push_back("ReadText " + path);
    const std::string key = Lower(path);
    const auto it = files_.find(key);
    if (it == files_.end() || Listed(locked, key)) return std::nullopt;
    return it->second.substr(0, maxBytes);
}

bool FakeFileSystem::Listed(const std::set<std::string>& paths, const std::string& key) {
    for (const std::string& path : paths)
        if (Lower(path) == key) return true;
    return false;
}

bool FakeFileSystem::WriteFails(const std::string& key) const {
    return failWritesPartWay || diskFull || Listed(locked, key) || Listed(unwritable, key);
}

// A failed write leaves the old file exactly as it was, and no new file.
bool FakeFileSystem::Write(const char* operation, const std::string& path, std::string_view bytes) {
    log_.push_back(operation + (" " + path));
    ++writes;
    const std::string key = Lower(path);
    if (WriteFails(key)) return false;
    files_[key] = std::string(bytes);
    return true;
}

bool FakeFileSystem::WriteWholeFile(const std::string& path, std::string_view bytes) {
    return Write("WriteWholeFile", path, bytes);
}

bool FakeFileSystem::WriteBinary(const std::string& path, std::string_view bytes) {
    return Write("WriteBinary", path, bytes);
}

// ---- Clock

namespace {

LocalDateTime FromSeconds(long long total) {
    long long days = total / 86400, rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil date from days since 1970-01-01.
    const long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return LocalDateTime{year, month, day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                         static_cast<int>(rest % 60)};
}

}  // namespace

void FakeClock::Set(int year, int month, int day, int hour, int minute, int second) {
    now = LocalDateTime{year, month, day, hour, minute, second};
}

void FakeClock::Advance(long long seconds) {
    const long long total = DaysFromCivil(now.year, now.month, now.day) * 86400 + now.hour * 3600LL +
                            now.minute * 60LL + now.second;
    now = FromSeconds(total + seconds);
}

std::string FakeClock::DateText(const LocalDateTime& t) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return FormatDateText(t, kMonths[(t.month + 11) % 12], timeSeparator);
}

}  // namespace kavri::fake
