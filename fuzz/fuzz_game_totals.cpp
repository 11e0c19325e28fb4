// Parses arbitrary bytes as the totals file: the games they yield, saved, read back cleanly as
// exactly those games; and so they do after the first game takes the last one's name.
#include <cstdint>
#include <string>

#include "stats/game_totals.h"

namespace {

void RoundTrip(const kavri::GameTotals& totals) {
    const kavri::TotalsContent again = kavri::ParseGameTotals(kavri::FormatGameTotals(totals));
    if (!again.clean || again.newer || again.games != totals.Games()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kavri::TotalsContent first = kavri::ParseGameTotals(std::string_view(reinterpret_cast<const char*>(data), size));
    kavri::GameTotals totals;
    totals.Assign(first.games);
    if (totals.Games() != first.games) __builtin_trap();
    RoundTrip(totals);
    if (first.games.empty()) return 0;
    totals.Name(first.games.front(), first.games.back().name);
    if (totals.Games().front().name != first.games.back().name) __builtin_trap();
    RoundTrip(totals);
    return 0;
}
