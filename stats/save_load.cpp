// Saving and loading the statistics file beside the executable.
#include "app/form_kavri_meter.h"
#include "app/text_util.h"
#include "stats/duration.h"
#include "stats/number_text.h"
#include "stats/stats_file.h"

namespace kavri {
namespace {

Notice NoticeFor(FileError error) {
    switch (error) {
    case FileError::FolderDenied:
    case FileError::FileDenied: return Notice::SaveDenied;
    case FileError::InUse: return Notice::SaveHeld;
    case FileError::DiskFull: return Notice::SaveDiskFull;
    default: return Notice::SaveFailed;
    }
}

}  // namespace

std::string formKavriMeter::StatsPath() { return InFolder(os_.windowing.AppPath(), "kvrstat.csv"); }
std::string formKavriMeter::BackupPath() { return InFolder(os_.windowing.AppPath(), "kvrstat.bak"); }

void formKavriMeter::SaveStats() {
    // A file that could not be read is never replaced by statistics that did not come from it.
    if (statsLocked) return;
    const std::uint64_t revision = ModelRevision();
    if (SaveFile(StatsPath(), BackupPath(), backupPending, FormatStatsFile(lblTimes, lblTime, lstGames, lstTimes)))
        savedRevision = revision;
}

bool formKavriMeter::SaveFile(const std::string& path, const std::string& backup, bool& backupPending,
                              const std::string& bytes) {
    if (backupPending) {
        // A file that did not read cleanly is kept whole, as it stands on disk, before it is replaced.
        if (const FileStatus kept = os_.files.CopyWhole(path, backup); !kept) {
            ReportProblem(SaveNotice(kept.error, backup), backup);
            return false;
        }
        backupPending = false;
    }
    FileStatus saved = os_.files.WriteWholeFile(path, bytes);
    if (saved.error == FileError::FolderDenied) saved = RewriteInPlace(path, bytes, saved);
    if (!saved) {
        ReportProblem(SaveNotice(saved.error, path), path);
        return false;
    }
    DropRecoveryCopy(path);
    // A good save ends a failing state of this file quietly.
    ForgetNotices(path);
    ForgetNotices(backup);
    return true;
}

// A refused write may be the file's own read-only attribute, whatever the folder allows. A new
// file that was made but may not replace the old one is otherwise held open by another program.
Notice formKavriMeter::SaveNotice(FileError error, const std::string& path) {
    const bool refused = error == FileError::ReplaceDenied || error == FileError::FileDenied ||
                         error == FileError::FolderDenied;
    if (refused && os_.files.IsReadOnly(path)) return Notice::SaveReadOnly;
    return error == FileError::ReplaceDenied ? Notice::SaveHeld : NoticeFor(error);
}

bool formKavriMeter::LoadStats() {
    const std::string path = StatsPath();
    if (const auto recovered = Recovered(path)) {
        ApplyLoadedStats(*recovered);
        savedRevision = ModelRevision() - 1;  // the file beside does not hold these yet
        return true;
    }
    if (!FileExists(path)) return false;
    const auto bytes = os_.files.ReadText(path, kStatsReadLimit);
    if (bytes) {
        ApplyLoadedStats(*bytes);
    } else {
        statsLocked = true;
        lockedRevision = ModelRevision();
        ReportProblem(Notice::StatsUnreadable, path);
    }
    return true;
}

void formKavriMeter::ApplyLoadedStats(const std::string& bytes) {
    const StatsContent content = ParseStatsFile(bytes);
    for (std::size_t i = 0; i < content.slots.size(); ++i) {
        lblTimes[i].SetCaption(content.slots[i].count);
        lblTime[i].SetTag(content.slots[i].minutes);
        if (const auto minutes = TextAsInt32(content.slots[i].minutes)) lblTime[i].SetCaption(FormatDuration(*minutes));
    }
    for (const std::string& line : content.games) lstGames.Append(line);
    for (const std::string& line : content.runs) lstTimes.Append(line);
    // A read that stopped at its limit has not seen the whole file.
    backupPending = !content.ReadCleanly() || bytes.size() >= kStatsReadLimit;
    savedRevision = ModelRevision();
}

// While the file met at start-up stays unreadable and nothing was counted yet, try it again.
void formKavriMeter::RetryLockedLoad() {
    if (!statsLocked || ModelRevision() != lockedRevision) return;
    const std::string path = StatsPath();
    std::optional<std::string> bytes;
    if (FileExists(path) && !(bytes = os_.files.ReadText(path, kStatsReadLimit))) return;
    statsLocked = false;
    ForgetNotices(path);
    if (bytes) ApplyLoadedStats(*bytes);
    if (totalsSeedPending) SeedTotals();
    if (diaryImportPending) ImportDiary();
}

}  // namespace kavri
