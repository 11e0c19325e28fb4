// Game recording: one more play of the disc's game in the games list.
#include "app/form_kavri_meter.h"
#include "base/text_util.h"
#include "stats/number_text.h"
#include "stats/stats_file.h"

namespace kavri {
namespace {

// The play count after this recording: at least 1 and at most the 16-bit limit.
int NextCount(std::string_view line, std::size_t idLength) {
    const std::string_view rest = line.size() > idLength + 1 ? line.substr(idLength + 1) : std::string_view{};
    const std::int16_t next = SaturateInt16(ReadNumber(rest) + 1);
    return next < 1 ? 1 : next;
}

}  // namespace

void formKavriMeter::RecordGame() { RecordGameAs(GetID()); }

void formKavriMeter::RecordGameAs(const std::string& id) {
    gameMinutes = 0;
    if (id.empty()) return;
    const std::string dateText = os_.clock.DateText(os_.clock.Now());
    for (int i = 0; i < lstGames.Count(); ++i) {
        const std::string& line = lstGames.Line(i);
        if (!StartsWithNoCase(line, id)) continue;
        currentEntry = id + "\t" + std::to_string(NextCount(line, id.size())) + " \t" + dateText;
        lstGames.Replace(i, currentEntry);
        currentIndex = static_cast<std::int16_t>(i);
        return Recorded(id, dateText);
    }
    if (lstGames.Count() >= kMaxListLines) return;  // the file could not hold another line
    currentEntry = id + "\t1 \t" + dateText;
    lstGames.Append(currentEntry);
    currentIndex = static_cast<std::int16_t>(lstGames.Count() - 1);
    Recorded(id, dateText);
}

// The recorded game is the current one; its total counts one more recording.
void formKavriMeter::Recorded(const std::string& id, const std::string& dateText) {
    gameDrive = currentDrive;
    gameFromImage = false;
    currentGameId = id;
    gameTotals.Record(id, dateText);
}

}  // namespace kavri
