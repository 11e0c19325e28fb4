// Saving and loading the statistics file beside the executable.
#include "app/form_kavri_meter.h"
#include "stats/duration.h"
#include "stats/number_text.h"
#include "stats/stats_file.h"

namespace kavri {
namespace {

constexpr std::size_t kStatsReadLimit = 64u << 20;

std::string InFolder(std::string folder, const char* name) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder + name;
}

}  // namespace

std::string formKavriMeter::StatsPath() { return InFolder(os_.windowing.AppPath(), "kvrstat.csv"); }

void formKavriMeter::SaveStats() {
    // A file that could not be read is never replaced by statistics that did not come from it.
    if (statsLocked) return;
    if (!unreadableStats.empty()) {
        // Keep a file that did not read cleanly before it is replaced.
        if (!os_.files.WriteWholeFile(InFolder(os_.windowing.AppPath(), "kvrstat.bak"), unreadableStats)) return;
        unreadableStats.clear();
    }
    const std::uint64_t revision = ModelRevision();
    if (os_.files.WriteWholeFile(StatsPath(), FormatStatsFile(lblTimes, lblTime, lstGames, lstTimes)))
        savedRevision = revision;
}

bool formKavriMeter::LoadStats() {
    const std::string path = StatsPath();
    if (!FileExists(path)) return false;
    const auto bytes = os_.files.ReadText(path, kStatsReadLimit);
    if (bytes) {
        ApplyLoadedStats(*bytes);
    } else {
        statsLocked = true;
        lockedRevision = ModelRevision();
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
    if (!content.complete) unreadableStats = bytes;
    savedRevision = ModelRevision();
}

// While the file met at start-up stays unreadable and nothing was counted yet, try it again.
void formKavriMeter::RetryLockedLoad() {
    if (!statsLocked || ModelRevision() != lockedRevision) return;
    const std::string path = StatsPath();
    std::optional<std::string> bytes;
    if (FileExists(path) && !(bytes = os_.files.ReadText(path, kStatsReadLimit))) return;
    statsLocked = false;
    if (bytes) ApplyLoadedStats(*bytes);
}

}  // namespace kavri
