// In a folder where no new file may be made, a file is rewritten in place, and a crash or a power
// cut could leave it torn. So a complete copy of what is written goes first to the user's local
// application data, and goes again once the rewrite is done; a copy met at the next start stands
// for a rewrite that was cut short, and its bytes are loaded instead of the torn file's.
#include <cstdio>

#include "app/form_kavri_meter.h"
#include "app/text_util.h"
#include "stats/stats_file.h"

namespace kavri {
namespace {

// A name for the copy that no other file's copy shares: a hash of the file's full path, whatever
// its letter case, then its own name.
std::string CopyName(const std::string& path) {
    std::uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
    for (const char c : path) {
        hash ^= static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    std::string name(hex);
    name += '-';
    name += FileNameOf(path);
    return name;
}

}  // namespace

std::string formKavriMeter::RecoveryPath(const std::string& path) {
    const auto local = os_.shell.Folder(ShellFolder::LocalAppData);
    if (!local || local->empty()) return {};
    return InFolder(InFolder(*local, "KavriStat\\Recovery"), CopyName(path));
}

FileStatus formKavriMeter::RewriteInPlace(const std::string& path, const std::string& bytes, FileStatus denied) {
    const std::string copy = RecoveryPath(path);
    // Without an old file, or without a place for the copy, the folder's refusal stands.
    if (!os_.files.FileLen(path) || copy.empty()) return denied;
    FileStatus kept = os_.files.MakeFolder(std::string(FolderOf(copy)));
    if (kept) kept = os_.files.WriteWholeFile(copy, bytes);
    if (!kept) return denied;
    recoveryKept.insert(path);
    return os_.files.RewriteFile(path, bytes);
}

void formKavriMeter::DropRecoveryCopy(const std::string& path) {
    if (recoveryKept.erase(path) != 0) os_.files.Erase(RecoveryPath(path));
}

std::optional<std::string> formKavriMeter::Recovered(const std::string& path) {
    const std::string copy = RecoveryPath(path);
    if (copy.empty() || !FileExists(copy)) return std::nullopt;
    auto bytes = os_.files.ReadText(copy, kStatsReadLimit);
    if (!bytes) return std::nullopt;
    recoveryKept.insert(path);  // it goes at the next good save
    // The rewrite was done and only the copy's removal was cut short.
    if (os_.files.ReadText(path, kStatsReadLimit) == bytes) return std::nullopt;
    ReportProblem(Notice::StatsRestored, path);
    return bytes;
}

formKavriMeter::CompanionFile formKavriMeter::ReadCompanion(const std::string& path, bool& locked) {
    CompanionFile file;
    file.bytes = Recovered(path);
    file.recovered = file.bytes.has_value();
    if (file.recovered) return file;
    file.missing = !FileExists(path);
    if (file.missing) return file;
    file.bytes = os_.files.ReadText(path, kStatsReadLimit);
    if (!file.bytes) {
        locked = true;  // never overwritten in this session
        ReportProblem(Notice::StatsUnreadable, path);
    }
    return file;
}

// The file did not read cleanly, or only up to the limit of what is read: keep it whole before it
// is replaced. A recovered copy was written whole by the program itself.
bool formKavriMeter::CompanionFile::Damaged(bool clean) const {
    return !recovered && (!clean || bytes->size() >= kStatsReadLimit);
}

}  // namespace kavri
