// Total play time per game in "kvrgames.csv", loaded and saved with the same care as the
// statistics file; and the tooltip that shows a game's total.
#include "app/form_kavri_meter.h"
#include "base/text_util.h"
#include "stats/duration.h"
#include "stats/number_text.h"
#include "stats/stats_file.h"

namespace kavri {

void formKavriMeter::LoadTotals() {
    const auto bytes = LoadKept(totalsFile, kStatsReadLimit);
    // Met for the first time: the totals start from the games list, once that is loaded.
    if (totalsFile.missing && statsFile.locked) totalsSeedPending = true;
    else if (totalsFile.missing) SeedTotals();
    if (!bytes) return;
    TotalsContent content = ParseGameTotals(*bytes);
    totalsNewer = content.newer;
    if (totalsNewer) ReportProblem(Notice::TotalsNewer, totalsFile.path);
    gameTotals.Assign(std::move(content.games));
    Loaded(totalsFile, content.clean, bytes->size(), kStatsReadLimit, gameTotals.Revision());
}

// Each game of the games list starts from the latest play time its line shows, a known lower
// bound, first played at that line's date.
void formKavriMeter::SeedTotals() {
    totalsSeedPending = false;
    std::vector<GameTotal> seeded;  // the first line of a game counts
    for (const std::string& line : lstGames.Lines())
        if (GameTotal game = TotalFromGamesLine(line); !game.id.empty()) seeded.push_back(std::move(game));
    if (!seeded.empty()) gameTotals.Assign(std::move(seeded));
}

void formKavriMeter::SaveTotals() {
    if (TotalsWritable() && gameTotals.Revision() != totalsFile.savedRevision)
        SaveKept(totalsFile, gameTotals.Revision(), FormatGameTotals(gameTotals));
}

std::string formKavriMeter::GameTip(int line) {
    if (line < 0 || line >= lstGames.Count()) return {};
    const std::string& text = lstGames.Line(line);
    const std::string id = TotalFromGamesLine(text).id;
    const GameTotal* total = gameTotals.Find(id);
    const std::string rest = text.size() > id.size() ? text.substr(id.size() + 1) : std::string();
    const std::int32_t plays = SaturateInt32(ReadNumber(rest));
    std::string tip = GameTitle(id) + ": " + FormatDuration(total ? total->minutes : 0) + " in total over " +
                      std::to_string(plays) + (plays == 1 ? " play" : " plays");
    if (total && !total->firstPlayed.empty())
        tip += ", first played " + total->firstPlayed.substr(0, total->firstPlayed.rfind(' '));  // the date alone
    return tip;
}

}  // namespace kavri
