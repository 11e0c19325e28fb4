// The statistics file "kvrstat.csv": its bytes from the model, and the model from its bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"
#include "stats/fields.h"

namespace kavri {

// A list stores its last index as a 16-bit number, so it holds at most this many lines.
inline constexpr int kMaxListLines = 32768;

// The most of the file that is read.
inline constexpr std::size_t kStatsReadLimit = std::size_t{64} << 20;

// Slots 0..7 as (run count caption, minutes tag), then both lists; lines end in CR LF.
std::string FormatStatsFile(const std::array<Label, 8>& counts, const std::array<Label, 8>& minutes,
                            const ListBox& games, const ListBox& runs);

struct StatsSlot {
    std::string count;
    std::string minutes;
};

// What a file yields. Reading stops at the first read that fails; what came before it is kept.
struct StatsContent {
    std::vector<StatsSlot> slots;  // the slots read, from slot 0 on
    std::vector<std::string> games;
    std::vector<std::string> runs;
    bool complete = false;  // every read succeeded
    bool altered = false;   // some text was not in the file's own form and reads a little differently

    bool ReadCleanly() const { return complete && !altered; }
};

StatsContent ParseStatsFile(std::string_view bytes);

}  // namespace kavri
