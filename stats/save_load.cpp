// Saving and loading the statistics file beside the executable.
#include "app/form_kavri_meter.h"
#include "base/text_util.h"
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

std::string formKavriMeter::StatsPath() { return InFolder(os_.windowing.AppPath(), statsFile.name); }
std::string formKavriMeter::BackupPath() { return InFolder(os_.windowing.AppPath(), statsFile.backupName); }

void formKavriMeter::SaveStats() {
    // A file that could not be read is never replaced by statistics that did not come from it.
    SaveKept(statsFile, ModelRevision(), FormatStatsFile(lblTimes, lblTime, lstGames, lstTimes));
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
    const auto bytes = LoadKept(statsFile, kStatsReadLimit);
    if (bytes) ApplyLoadedStats(*bytes);
    if (statsFile.locked) lockedRevision = ModelRevision();
    return !statsFile.missing;
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
    Loaded(statsFile, content.ReadCleanly(), bytes.size(), kStatsReadLimit, ModelRevision());
}

// While the file met at start-up stays unreadable and nothing was counted yet, try it again.
void formKavriMeter::RetryLockedLoad() {
    if (!statsFile.locked || ModelRevision() != lockedRevision) return;
    std::optional<std::string> bytes;
    if (FileExists(statsFile.path) && !(bytes = os_.files.ReadText(statsFile.path, kStatsReadLimit))) return;
    statsFile.locked = false;
    ForgetNotices(statsFile.path);
    if (bytes) ApplyLoadedStats(*bytes);
    if (totalsSeedPending) SeedTotals();
    if (diaryImportPending) ImportDiary();
}

}  // namespace kavri
