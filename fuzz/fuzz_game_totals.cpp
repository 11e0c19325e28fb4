// Parses arbitrary bytes as the totals file: the games they yield, saved, read back cleanly as
// exactly those games.
#include <cstdint>
#include <string>

#include "stats/game_totals.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kavri::TotalsContent first = kavri::ParseGameTotals(std::string_view(reinterpret_cast<const char*>(data), size));
    kavri::GameTotals totals;
    totals.Assign(first.games);
    const kavri::TotalsContent second = kavri::ParseGameTotals(kavri::FormatGameTotals(totals));
    if (!second.clean || second.games != first.games) __builtin_trap();
    return 0;
}
