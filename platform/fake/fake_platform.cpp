#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

#include "base/text_util.h"
#include "discimage/image_path.h"

namespace kavri::fake {
namespace {

constexpr Handle kSnapshot = 0x0000BEEF;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string FolderOf(const std::string& path) { return path.substr(0, std::min(path.size(), path.rfind('\\'))); }

}  // namespace

void CallLog::Record(std::string entry) {
    const bool fails = !throwOn.empty() && entry.starts_with(throwOn);
    push_back(std::move(entry));
    if (fails) throw std::runtime_error("injected failure: " + back());
}

// ---- Kernel

std::uint32_t FakeKernel::GetDriveTypeA(const char* rootPathName) {
    log_.Record(std::string("GetDriveTypeA ") + rootPathName);
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(rootPathName[0])));
    const auto it = driveTypes.find(letter);
    return it == driveTypes.end() ? 1 : it->second;
}

Handle FakeKernel::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) {
    log_.Record("CreateToolhelp32Snapshot " + std::to_string(flags) + " " + std::to_string(processId));
    if (snapshotFails || flags != kTh32csSnapProcess) return kInvalidHandle;
    ++openSnapshots;
    current_ = kSnapshot;
    return kSnapshot;
}

std::optional<ProcessStart> FakeKernel::ProcessParameters(std::uint32_t processId) {
    ++commandLineReads;
    const auto it = commandLines.find(processId);
    if (it == commandLines.end()) return std::nullopt;
    const auto folder = currentFolders.find(processId);
    return ProcessStart{it->second, folder == currentFolders.end() ? std::string() : folder->second};
}

HandleList FakeKernel::ProcessHandles(std::uint32_t, std::vector<OpenHandle>& list) {
    if (listFailures > 0) {
        --listFailures;
        return HandleList::Unknown;
    }
    list = handles;
    return HandleList::Listed;
}

HandlePath FakeKernel::PathOfHandle(std::uint32_t, const OpenHandle& handle, std::uint32_t budgetMs) {
    const std::pair key{handle.value, handle.object};
    if (stuck.count(key)) return {HandlePath::Outcome::Pending, {}};
    if (unreached.count(key)) return {HandlePath::Outcome::NotAsked, {}};
    if (stuck.size() >= kWorkers) return {HandlePath::Outcome::NoWorker, {}};
    ++pathQueries;
    longestBudgetMs = std::max(longestBudgetMs, budgetMs);
    const auto it = handlePaths.find(handle.value);
    const HandlePath answer = it == handlePaths.end() ? HandlePath{HandlePath::Outcome::NotDiskFile, {}} : it->second;
    if (answer.outcome == HandlePath::Outcome::TimedOut) stuck.insert(key);
    return answer;
}

std::vector<std::string> FakeKernel::MappedFiles(std::uint32_t processId) {
    ++mappedWalks;
    const auto it = mappedFiles.find(processId);
    return it == mappedFiles.end() ? std::vector<std::string>() : it->second;
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
    log_.Record("Process32First");
    if (snapshot != current_ || snapshot == kInvalidHandle) return 0;
    next_ = 0;
    return Fill(entry);
}

std::int32_t FakeKernel::Process32Next(Handle snapshot, ProcessEntry32* entry) {
    log_.Record("Process32Next");
    if (snapshot != current_ || snapshot == kInvalidHandle) return 0;
    return Fill(entry);
}

std::int32_t FakeKernel::CloseHandle(Handle object) {
    log_.Record("CloseHandle");
    if (object != current_ || object == 0) return 0;
    --openSnapshots;
    current_ = 0;
    return 1;
}

// ---- Shell

std::int32_t FakeShell::Shell_NotifyIconA(std::uint32_t message, NotifyIconDataA* data) {
    log_.Record("Shell_NotifyIconA " + std::to_string(message));
    notifyCalls.push_back({message, *data});
    if (message == kNimAdd && (addFailures > 0 || addTimeouts > 0)) {
        if (addFailures > 0) --addFailures;
        else if (--addTimeouts, iconsShown == 0) ++iconsShown;
        return 0;
    }
    if (message == kNimModify) return iconsShown > 0;
    if (message == kNimAdd && iconsShown == 0) ++iconsShown;
    else if (message == kNimDelete && iconsShown > 0) --iconsShown;
    return 1;
}

namespace {

std::string Utf8(const char16_t* text) {
    std::string out;
    for (; *text; ++text) {
        char32_t c = *text;
        if (c >= 0xD800 && c < 0xDC00 && text[1] >= 0xDC00 && text[1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (*++text - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
        const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        out += static_cast<char>(kLead[extra] | (c >> (6 * extra)));
        for (int k = extra - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
    return out;
}

}  // namespace

std::int32_t FakeShell::Shell_NotifyIconW(std::uint32_t message, NotifyIconBalloonW* data) {
    log_.Record("Shell_NotifyIconW balloon " + std::to_string(message));
    if (message != kNimModify || iconsShown == 0) return 0;
    balloons.push_back({data->cbSize, data->hWnd, data->uID, data->uFlags, data->dwInfoFlags, Utf8(data->szInfoTitle), Utf8(data->szInfo)});
    return 1;
}

std::optional<std::string> FakeShell::Folder(ShellFolder which) {
    log_.Record("Folder " + std::to_string(static_cast<int>(which)));
    const auto it = folders.find(which);
    if (it == folders.end()) return std::nullopt;
    return it->second;
}

bool FakeShell::CreateShellLink(const std::string& link, const std::string& target,
                                const std::string& workingDirectory) {
    log_.Record("CreateShellLink " + link);
    links.push_back({link, target, workingDirectory});
    if (linkFails) return false;
    files_.Put(link, target + "|" + workingDirectory);
    return true;
}

std::optional<std::string> FakeShell::ShellLinkTarget(const std::string& link) {
    log_.Record("ShellLinkTarget " + link);
    const std::string bytes = files_.Get(link);
    const std::size_t bar = bytes.find('|');
    if (bar == std::string::npos) return std::nullopt;
    return bytes.substr(0, bar);
}

Handle FakeShell::ShellExecuteA(Handle hwnd, const char* operation, const char* file,
                                       const char* parameters, const char* directory, std::int32_t showCommand) {
    log_.Record(std::string("ShellExecuteA ") + file);
    executeCalls.push_back({hwnd, operation, file, parameters, directory, showCommand});
    return 42;
}

// ---- Multimedia

std::uint32_t FakeMultimedia::mciSendStringA(const char* command, char* returnString, std::uint32_t returnLength,
                                             Handle /*hwndCallback*/) {
    const std::string text = command;
    log_.Record("mciSendStringA " + text);
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

std::string FakeWindowing::ExePath() { return InFolder(appPath, exeName); }

void FakeWindowing::Show() {
    log_.Record("Show");
    visible = true;
}

void FakeWindowing::Hide() {
    log_.Record("Hide");
    visible = false;
}

void FakeWindowing::Unload() {
    log_.Record("Unload");
    if (onUnload) onUnload();
}

void FakeWindowing::End() {
    log_.Record("End");
    ended = true;
}

int FakeWindowing::PopupMenu(const Menu& /*menu*/, int defaultItem) {
    log_.Record("PopupMenu");
    menuDefaults.push_back(defaultItem);
    if (whileMenuOpen) whileMenuOpen();
    if (menuChoices.empty()) return -1;
    const int choice = menuChoices.front();
    menuChoices.pop_front();
    return choice;
}

int FakeWindowing::MsgBox(const std::string& prompt, int style, const std::string& title) {
    log_.Record("MsgBox");
    messageBoxes.push_back({prompt, style, title});
    if (whileMessageBoxOpen) whileMessageBoxOpen();
    return 1;
}

std::optional<std::string> FakeWindowing::InputText(const std::string& title, const std::string& /*prompt*/,
                                                    const std::string& value, std::size_t /*maxCharacters*/,
                                                    const TextCheck& check) {
    log_.Record("InputText " + title);
    prefilled.push_back(value);
    if (typed.empty()) return std::nullopt;
    std::optional<std::string> text = std::move(typed.front());
    typed.pop_front();
    if (!text) return text;
    if (std::string refusal = check(*text); !refusal.empty()) {
        refusals.push_back(std::move(refusal));
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> FakeWindowing::ChooseTextFile(const std::string& title) {
    log_.Record("ChooseTextFile " + title);
    if (chosenFiles.empty()) return std::nullopt;
    std::optional<std::string> path = std::move(chosenFiles.front());
    chosenFiles.pop_front();
    return path;
}

std::optional<IdleOptions> FakeWindowing::AskIdleOptions(const IdleOptions&, const std::string& blindReason,
                                                         const TextCheck& limitCheck) {
    log_.Record("AskIdleOptions");
    blindReasons.push_back(blindReason);
    if (optionsChosen.empty()) return std::nullopt;
    std::optional<IdleOptions> chosen = optionsChosen.front();
    optionsChosen.pop_front();
    if (!chosen || !chosen->on) return chosen;
    if (std::string refusal = limitCheck(std::to_string(chosen->limitMinutes)); !refusal.empty()) {
        refusals.push_back(std::move(refusal));
        return std::nullopt;
    }
    return chosen;
}

// ---- File system

void FakeFileSystem::Put(const std::string& path, std::string bytes) {
    files_[Lower(path)] = std::move(bytes);
    changed_[Lower(path)] = ++changes_;
}
void FakeFileSystem::Make(const std::string& path, std::uint64_t size, MakeBytes make) {
    made_[Lower(path)] = {size, std::move(make)};
    changed_[Lower(path)] = ++changes_;
}

bool FakeFileSystem::Has(const std::string& path) const { return files_.count(Lower(path)) != 0; }

std::string FakeFileSystem::Get(const std::string& path) const {
    const auto it = files_.find(Lower(path));
    return it == files_.end() ? std::string() : it->second;
}

std::optional<std::int64_t> FakeFileSystem::FileLen(const std::string& path) {
    log_.Record("FileLen " + path);
    const auto it = files_.find(Lower(path));
    if (it == files_.end()) return std::nullopt;
    return static_cast<std::int64_t>(it->second.size());
}

std::optional<std::string> FakeFileSystem::ReadText(const std::string& path, std::size_t maxBytes) {
    log_.Record("ReadText " + path);
    const std::string key = Lower(path);
    const auto it = files_.find(key);
    if (it == files_.end() || Listed(locked, key)) return std::nullopt;
    return it->second.substr(0, maxBytes);
}

// As Windows's backend: a path that names no disk file by its form is not measured.
std::optional<FileStamp> FakeFileSystem::Stamp(const std::string& path) {
    if (!NamesDiskFile(path)) return std::nullopt;
    if (const auto made = made_.find(Lower(path)); made != made_.end())
        return FileStamp{made->second.first, changed_[made->first]};
    const auto it = files_.find(Lower(path));
    if (it == files_.end()) return std::nullopt;
    return FileStamp{it->second.size(), changed_[it->first]};
}

namespace {

class FakeOpenFile : public ReadOnlyFile {
public:
    FakeOpenFile(FakeFileSystem& files, std::string key, std::uint64_t size) : files_(files), key_(std::move(key)), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    std::optional<std::string> ReadAt(std::uint64_t offset, std::size_t length) override {
        return files_.ReadOpen(key_, offset, length);
    }

private:
    FakeFileSystem& files_;
    std::string key_;
    std::uint64_t size_;
};

}  // namespace

// As Windows's backend: a path that names no disk file by its form is not opened.
std::unique_ptr<ReadOnlyFile> FakeFileSystem::OpenDiskFile(const std::string& path) {
    const std::string key = Lower(path);
    if (!NamesDiskFile(path)) return nullptr;
    if (const auto made = made_.find(key); made != made_.end()) {
        ++opens;
        return std::make_unique<FakeOpenFile>(*this, key, made->second.first);
    }
    const auto it = files_.find(key);
    if (it == files_.end() || Listed(locked, key) || Listed(devices, key)) return nullptr;
    ++opens;
    return std::make_unique<FakeOpenFile>(*this, key, it->second.size());
}

std::optional<std::string> FakeFileSystem::ReadOpen(const std::string& key, std::uint64_t offset, std::size_t length) {
    if (Listed(unreadable, key)) return std::nullopt;
    if (const auto made = made_.find(key); made != made_.end()) {
        ++rangesRead;
        auto bytes = made->second.second(offset, length);
        if (bytes) bytesRead += bytes->size();
        return bytes;
    }
    const auto it = files_.find(key);
    if (it == files_.end() || Listed(locked, key)) return std::nullopt;
    ++rangesRead;
    if (offset >= it->second.size()) return std::string();
    std::string bytes = it->second.substr(static_cast<std::size_t>(offset), length);
    bytesRead += bytes.size();
    return bytes;
}

bool FakeFileSystem::Listed(const std::set<std::string>& paths, const std::string& key) {
    for (const std::string& path : paths)
        if (Lower(path) == key) return true;
    return false;
}

FileError FakeFileSystem::WriteFails(const std::string& key, bool createsFile) const {
    if (createsFile && Listed(protectedFolders, FolderOf(key))) return FileError::FolderDenied;
    if (Listed(locked, key)) return FileError::InUse;
    if (Listed(unwritable, key)) return FileError::FileDenied;
    if (diskFull) return FileError::DiskFull;
    if (failWritesPartWay) return FileError::Other;
    return FileError::None;
}

void FakeFileSystem::Land(const std::string& key, std::string_view bytes, bool inPlace) {
    if (powerCutAfter && *powerCutAfter < bytes.size()) {
        const std::size_t through = *powerCutAfter;
        powerCutAfter.reset();
        std::string torn = inPlace ? files_[key] : std::string();
        if (inPlace) torn.resize(std::max(torn.size(), bytes.size()), '\0');  // the room was taken first
        files_[key] = torn.replace(0, through, bytes.substr(0, through));
        throw PowerCut();
    }
    if (powerCutAfter) *powerCutAfter -= bytes.size();
    files_[key] = std::string(bytes);
    changed_[key] = ++changes_;
}

// A failed write leaves the old file exactly as it was, and no new file.
FileStatus FakeFileSystem::WriteWholeFile(const std::string& path, std::string_view bytes) {
    log_.Record("WriteWholeFile " + path);
    ++writes;
    const std::string key = Lower(path);
    const FileError error = WriteFails(key + ".new", true);
    if (error != FileError::None) return {error, 5};
    Land(key + ".new", bytes, false);
    // The new file is complete; Windows refuses it the place of a held or read-only file.
    if (Listed(locked, key) || Listed(unwritable, key)) {
        files_.erase(key + ".new");
        return {FileError::ReplaceDenied, 5};
    }
    files_[key] = files_[key + ".new"];
    files_.erase(key + ".new");
    return {};
}

FileStatus FakeFileSystem::RewriteFile(const std::string& path, std::string_view bytes) {
    log_.Record("RewriteFile " + path);
    ++writes;
    const std::string key = Lower(path);
    if (!Has(path)) return {FileError::Other, 2};
    if (const FileError error = WriteFails(key, false); error != FileError::None) return {error, 5};
    Land(key, bytes, true);
    return {};
}

FileStatus FakeFileSystem::CopyWhole(const std::string& from, const std::string& to) {
    log_.Record("CopyWhole " + from);
    ++writes;
    const std::string key = Lower(from);
    if (!Has(from) || Listed(locked, key)) return {Has(from) ? FileError::InUse : FileError::Other, 32};
    if (const FileError error = WriteFails(Lower(to), true); error != FileError::None) return {error, 5};
    Land(Lower(to), files_[key], false);
    return {};
}

FileStatus FakeFileSystem::WriteBinary(const std::string& path, std::string_view bytes) {
    log_.Record("WriteBinary " + path);
    ++writes;
    if (const FileError error = WriteFails(Lower(path), true); error != FileError::None) return {error, 5};
    Land(Lower(path), bytes, false);
    return {};
}

FileStatus FakeFileSystem::Erase(const std::string& path) {
    log_.Record("Erase " + path);
    if (Listed(locked, Lower(path)) || Listed(undeletable, Lower(path))) return {FileError::InUse, 32};
    return files_.erase(Lower(path)) ? FileStatus{} : FileStatus{FileError::Other, 2};
}

FileStatus FakeFileSystem::MakeFolder(const std::string& path) {
    log_.Record("MakeFolder " + path);
    if (Listed(protectedFolders, FolderOf(Lower(path)))) return {FileError::FolderDenied, 5};
    folders.insert(path);
    return {};
}

bool FakeFileSystem::IsReadOnly(const std::string& path) { return Listed(unwritable, Lower(path)); }

bool FakeFileSystem::FolderExists(const std::string& path) {
    log_.Record("FolderExists " + path);
    const std::string key = Lower(path);
    if (Listed(folders, key)) return true;
    for (const auto& file : files_)
        if (file.first.starts_with(key + "\\")) return true;
    return false;
}

// ---- Clock

namespace {

LocalDateTime FromSeconds(long long total) {
    long long days = total / 86400, rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    LocalDateTime t = CivilFromDays(days);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
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
    return FormatDateText(t, monthNames.at(static_cast<std::size_t>((t.month + 11) % 12)), timeSeparator);
}

namespace {
constexpr char32_t kEmDash = 0x2014;
constexpr unsigned char kEmDashByte = 0x97;
}  // namespace

std::optional<std::string> FakeCodePage::ToCodePage(std::string_view utf8) {
    std::string out;
    for (const char16_t unit : Utf16FromUtf8(utf8)) {
        if (unit == kEmDash) out += static_cast<char>(kEmDashByte);
        else if (unit < 0x100) out += static_cast<char>(unit);
        else return std::nullopt;
    }
    return out;
}

std::string FakeCodePage::FromCodePage(std::string_view text) {
    std::u16string wide;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        wide += byte == kEmDashByte ? static_cast<char16_t>(kEmDash) : static_cast<char16_t>(byte);
    }
    return *Utf8FromUtf16(wide);
}

// ---- Background

void FakeBackground::Post(Work work) {
    ++posted;
    queued_.push_back(std::move(work));
}

bool FakeBackground::Wait(unsigned ms) {
    longestWaitMs = std::max(longestWaitMs, ms);
    if (stalled) return false;
    for (unsigned spent = workMs; !queued_.empty() && spent <= ms; queued_.pop_front(), spent += workMs)
        steps_.push_back(queued_.front()());
    return queued_.empty();
}

// The ticks that collect are seconds apart: every work posted before has had its time.
void FakeBackground::Collect() {
    if (!stalled)
        for (; !queued_.empty(); queued_.pop_front()) steps_.push_back(queued_.front()());
    std::vector<std::function<void()>> due;
    due.swap(steps_);
    for (auto& step : due) step();
}

// ---- Input

std::optional<PadReading> FakeInput::ReadPad(int slot) {
    ++slotReads[static_cast<std::size_t>(slot)];
    return pads[static_cast<std::size_t>(slot)];
}

std::vector<std::string> FakeInput::GameControllers() {
    return controllers;
}

}  // namespace kavri::fake
