// The Delete key in the two lists, and F2 to name the selected game.
#include "app/form_kavri_meter.h"

namespace kavri {
namespace {
constexpr std::int16_t kKeyDelete = 46;
constexpr std::int16_t kKeyF2 = 113;
}

void formKavriMeter::lstTimes_KeyDown(std::int16_t& KeyCode, std::int16_t /*Shift*/) {
    if (KeyCode != kKeyDelete) return;
    // Line 0 is the current or latest run, which the tick rewrites: it stays.
    if (lstTimes.Selected() > 0) lstTimes.Remove(lstTimes.Selected());
}

void formKavriMeter::lstGames_KeyDown(std::int16_t& KeyCode, std::int16_t /*Shift*/) {
    if (KeyCode == kKeyF2) NameGame(lstGames.Selected());
    if (KeyCode != kKeyDelete || lstGames.Selected() < 0) return;
    // The user asked to forget the game: its total goes too.
    gameTotals.Forget(TotalFromGamesLine(lstGames.Line(lstGames.Selected())).id);
    lstGames.Remove(lstGames.Selected());
    // Lines below moved up: stop refreshing any games line until a disc is recorded again.
    currentIndex = -1;
}

}  // namespace kavri
