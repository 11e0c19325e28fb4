// Total play time and name per game, kept in "kvrgames.csv" beside the statistics file: a first
// line "KavriStat games",3 (name and format version), then per game "ID","total minutes",
// "first played","last played","name","typed" or "file" (where the name came from; empty for
// none), in the order the games were first recorded; lines end in CR LF. Version 1 had no name,
// version 2 no source: its names were typed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kavri {

// Where a game's name came from: typed by the user (an empty typed name is one removed, which
// no file's name replaces), or the image it was first played from (the title its maker wrote into
// it, else the file's name, its list's or its folder's).
enum class NameFrom : std::uint8_t { None, Typed, File };

struct GameTotal {
    std::string id;
    std::int32_t minutes = 0;
    std::string firstPlayed;
    std::string lastPlayed;
    std::string name;  // in the system code page; empty when none
    NameFrom nameFrom = NameFrom::None;

    friend bool operator==(const GameTotal&, const GameTotal&) = default;
};

class GameTotals {
public:
    const std::vector<GameTotal>& Games() const { return games_; }
    const GameTotal* Find(std::string_view id) const;
    // A recording of the game at date: a game new here is appended, first played then.
    void Record(std::string_view id, std::string_view date);
    // Adds minutes to the game's total, held at the 32-bit limit.
    void Add(std::string_view id, std::int32_t minutes);
    void Forget(std::string_view id);
    // Names the game as the user typed it, adding it as seed when it is not here yet; an empty
    // name removes the name.
    void Name(const GameTotal& seed, std::string_view name);
    // Names a game here after its image file, unless it was ever named; a title written into the
    // image (overFile) also replaces a name an image file gave it.
    void NameFromFile(std::string_view id, std::string_view name, bool overFile = false);
    void Assign(std::vector<GameTotal> games);

    // Grows with every change, so that a save can tell whether there is anything to write.
    std::uint64_t Revision() const { return revision_; }

private:
    GameTotal* Entry(std::string_view id);
    void Reindex();

    std::vector<GameTotal> games_;
    std::unordered_map<std::string, std::size_t> index_;  // upper-case identifier to its game
    std::uint64_t revision_ = 0;
};

std::string FormatGameTotals(const GameTotals& totals);

struct TotalsContent {
    std::vector<GameTotal> games;
    bool clean = true;  // false: something was not in the file's own form, or it is not ours
    bool newer = false; // written by a later version: read for what it shares, never to be replaced
};

TotalsContent ParseGameTotals(std::string_view bytes);

// The games-list line's identifier, date and duration, for totals from a games list met without
// a totals file: "ID<tab>count <tab>date - 1h 5m".
GameTotal TotalFromGamesLine(std::string_view line);

}  // namespace kavri
