#include "discimage/ccd.h"

#include <algorithm>
#include <array>

#include "base/text_util.h"
#include "discimage/disc_lists.h"

// The layout read: sections "[CloneCD]", "[Disc]", "[Session N]", then "[Entry N]" (the table of
// contents: "Point" is the track number for 0x01 to 0x63, "Control" has bit 0x04 set for a data
// track, "PLBA" is where the track starts) and "[TRACK N]" ("MODE" 0 for audio, 1 or 2 for data,
// "INDEX 1" where the track starts). Lines "key=value", numbers decimal or "0x" hexadecimal.
// Addresses count 2352-byte sectors from the start of the ".img".

namespace kavri {
namespace {

constexpr int kTrackLimit = 99;
constexpr int kSectionLimit = 200;  // sections read at most, of every kind

struct Track {
    std::optional<bool> entryData, modeData;  // what the table of contents and the track's section say
    std::optional<std::uint64_t> entryStart, indexStart;
};

// A decimal or "0x" hexadecimal number below 2^32; nothing for a negative or malformed one.
std::optional<std::uint64_t> Number(std::string_view text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex) text.remove_prefix(2);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        const char lower = static_cast<char>(c | 0x20);
        const int digit = c >= '0' && c <= '9' ? c - '0' : hex && lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
        if (digit < 0 || value > 0xFFFFFFFFu) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    }
    return value <= 0xFFFFFFFFu ? std::optional(value) : std::nullopt;
}

enum class Section { Other, Entry, Track };

}  // namespace

std::optional<std::uint64_t> ParseCcd(std::string_view text) {
    std::array<Track, kTrackLimit + 1> tracks{};
    Section section = Section::Other;
    int sections = 0;
    std::uint64_t point = 0, trackNumber = 0;
    std::optional<bool> control;
    std::optional<std::uint64_t> plba;
    // An entry's keys come in any order: it is taken in when the next section starts.
    const auto endEntry = [&] {
        if (section == Section::Entry && point >= 1 && point <= kTrackLimit) {
            tracks[point].entryData = control;
            tracks[point].entryStart = plba;
        }
        point = 0;
        control.reset();
        plba.reset();
    };
    for (const std::string_view line : TextLines(text.substr(0, kListLimit))) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            endEntry();
            if (++sections > kSectionLimit) break;
            std::string_view name = Trim(line.substr(1, line.size() - 2));
            const std::size_t blank = std::min(name.find_first_of(" \t"), name.size());
            const std::string_view kind = name.substr(0, blank);
            section = EqualsNoCase(kind, "Entry") ? Section::Entry : EqualsNoCase(kind, "TRACK") ? Section::Track : Section::Other;
            trackNumber = Number(Trim(name.substr(blank))).value_or(0);
            if (section == Section::Track && (trackNumber < 1 || trackNumber > kTrackLimit)) section = Section::Other;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || section == Section::Other) continue;
        const std::string_view key = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
        const auto number = Number(value);
        if (section == Section::Entry) {
            if (EqualsNoCase(key, "Point")) point = number.value_or(0);
            if (EqualsNoCase(key, "Control") && number) control = (*number & 0x04) != 0;
            if (EqualsNoCase(key, "PLBA")) plba = number;
        } else if (EqualsNoCase(key, "MODE") && number) {
            tracks[trackNumber].modeData = *number == 1 || *number == 2;
        } else if (key.size() > 5 && EqualsNoCase(key.substr(0, 5), "INDEX") && Number(Trim(key.substr(5))) == 1u) {
            tracks[trackNumber].indexStart = number;
        }
    }
    endEntry();
    // A track's own section, where there is one, has the last word.
    for (const Track& track : tracks) {
        const auto data = track.modeData ? track.modeData : track.entryData;
        const auto start = track.indexStart ? track.indexStart : track.entryStart;
        if (data.value_or(false) && start) return start;
    }
    return std::nullopt;
}

}  // namespace kavri
