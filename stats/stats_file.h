// The statistics file "kvrstat.csv": its bytes from the model, and the model from its bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"

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

// The version a kept file's first line names after its header ("\"KavriStat games\","), which
// is taken off bytes with its line end; 0 when the file is not of that kind.
int ReadFileVersion(std::string_view& bytes, std::string_view header);

// Reads comma- and line-separated fields.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}
    std::optional<std::string> ReadString();
    std::optional<std::int16_t> ReadInteger();
    // A field held what the file's format cannot write back: a double quote inside a text, which
    // reads as "_", or characters between a closing quote and the separator, which are dropped.
    bool Altered() const { return altered_; }
    bool AtEnd() const { return pos_ >= text_.size(); }

private:
    void SkipSeparator();

    std::string_view text_;
    std::size_t pos_ = 0;
    bool altered_ = false;
};

// The next N fields of a line as texts, or nothing when one of them does not read.
template <std::size_t N>
std::optional<std::array<std::string, N>> ReadFields(FieldReader& in) {
    std::array<std::string, N> fields;
    for (std::string& field : fields) {
        auto text = in.ReadString();
        if (!text) return std::nullopt;
        field = std::move(*text);
    }
    return fields;
}

}  // namespace kavri
