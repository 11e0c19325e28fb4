#include "stats/game_totals.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_set>

#include "base/text_util.h"
#include "base/game_id.h"
#include "stats/duration.h"
#include "stats/number_text.h"
#include "stats/stats_file.h"

namespace kavri {
namespace {

constexpr std::string_view kFileName = "\"KavriStat games\",";
constexpr int kVersion = 3;
constexpr std::array<std::string_view, 3> kNameFrom = {"", "typed", "file"};

void PutField(std::string& out, std::string_view text, char after) {
    out += '"';
    out += text;
    out += '"';
    out += after;
}

// One line's fields, the name from version 2 on; false when it does not hold exactly them in the
// file's own form. A later version's further fields are left unread.
bool ReadLine(std::string_view line, int version, GameTotal& game) {
    FieldReader in(line);
    const auto fields = ReadFields<4>(in);
    if (!fields) return false;
    const auto& [id, total, first, last] = *fields;
    game = GameTotal{id, 0, first, last, {}};
    // A total reads back only as the plain digits the program writes.
    if (const auto minutes = ParseNumberText(total); minutes && *minutes > 0) game.minutes = SaturateInt32(*minutes);
    if (version >= 2) {
        auto name = in.ReadString();
        if (!name) return false;
        game.name = std::move(*name);
        if (!game.name.empty()) game.nameFrom = NameFrom::Typed;
    }
    if (version >= 3) {
        const auto from = in.ReadString();
        const auto known = from ? std::find(kNameFrom.begin(), kNameFrom.end(), *from) : kNameFrom.end();
        if (known == kNameFrom.end()) return false;
        game.nameFrom = static_cast<NameFrom>(known - kNameFrom.begin());
    }
    return total == std::to_string(game.minutes) && (in.AtEnd() || version > kVersion) && !in.Altered();
}

}  // namespace

// Identifiers match without regard to letter case, as games-list lines do.
const GameTotal* GameTotals::Find(std::string_view id) const {
    const auto it = index_.find(IdKey(id));
    return it == index_.end() ? nullptr : &games_[it->second];
}

GameTotal* GameTotals::Entry(std::string_view id) { return const_cast<GameTotal*>(Find(id)); }

void GameTotals::Reindex() {
    index_.clear();
    for (std::size_t i = 0; i < games_.size(); ++i) index_.emplace(IdKey(games_[i].id), i);
}

void GameTotals::Record(std::string_view id, std::string_view date) {
    GameTotal* game = Entry(id);
    if (!game) {
        index_.emplace(IdKey(id), games_.size());
        game = &games_.emplace_back(GameTotal{std::string(id), 0, std::string(date), {}, {}});
    }
    game->id = id;  // as the games list now writes it
    game->lastPlayed = date;
    ++revision_;
}

void GameTotals::Add(std::string_view id, std::int32_t minutes) {
    GameTotal* game = Entry(id);
    if (!game || minutes <= 0) return;
    game->minutes = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{game->minutes} + minutes,
                                                                     std::numeric_limits<std::int32_t>::max()));
    ++revision_;
}

void GameTotals::Name(const GameTotal& seed, std::string_view name) {
    GameTotal* game = Entry(seed.id);
    if (!game) {
        index_.emplace(IdKey(seed.id), games_.size());
        game = &games_.emplace_back(seed);
    } else if (game->name == name && game->nameFrom == NameFrom::Typed) {
        return;
    }
    game->name = name;
    game->nameFrom = NameFrom::Typed;
    ++revision_;
}

void GameTotals::NameFromFile(std::string_view id, std::string_view name, bool overFile) {
    GameTotal* game = Entry(id);
    if (!game || name.empty() || (game->name == name && game->nameFrom == NameFrom::File)) return;
    if (game->nameFrom != NameFrom::None && !(overFile && game->nameFrom == NameFrom::File)) return;
    game->name = name;
    game->nameFrom = NameFrom::File;
    ++revision_;
}

void GameTotals::Forget(std::string_view id) {
    if (!std::erase_if(games_, [&](const GameTotal& g) { return EqualsNoCase(g.id, id); })) return;
    Reindex();
    ++revision_;
}

// The first game of an identifier counts; a later one of the same identifier is dropped.
void GameTotals::Assign(std::vector<GameTotal> games) {
    games_.clear();
    index_.clear();
    for (GameTotal& game : games)
        if (index_.emplace(IdKey(game.id), games_.size()).second) games_.push_back(std::move(game));
    ++revision_;
}

std::string FormatGameTotals(const GameTotals& totals) {
    std::string out = std::string(kFileName) + std::to_string(kVersion) + "\r\n";
    for (const GameTotal& g : totals.Games()) {
        PutField(out, g.id, ',');
        PutField(out, std::to_string(g.minutes), ',');
        PutField(out, g.firstPlayed, ',');
        PutField(out, g.lastPlayed, ',');
        PutField(out, g.name, ',');
        PutField(out, kNameFrom[static_cast<std::size_t>(g.nameFrom)], '\r');
        out += '\n';
    }
    return out;
}

TotalsContent ParseGameTotals(std::string_view bytes) {
    TotalsContent content;
    std::unordered_set<std::string> known;  // the identifiers read so far, by their key
    const int version = ReadFileVersion(bytes, kFileName);
    content.clean = version > 0;
    content.newer = version > kVersion;
    if (!content.clean) return content;  // another format, or none: nothing here is ours to read
    while (!bytes.empty()) {
        const std::size_t end = bytes.find("\r\n");
        std::string line(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 2);
        if (end == std::string_view::npos) content.clean = false;  // the last line is cut short
        // A line break of another kind inside a text could not be written back.
        for (char& c : line)
            if (c == '\r' || c == '\n') c = '_', content.clean = false;
        GameTotal game;
        if (!ReadLine(line, version, game)) content.clean = false;
        if (game.id.empty() || !known.insert(IdKey(game.id)).second) content.clean = false;
        else content.games.push_back(std::move(game));
    }
    return content;
}

GameTotal TotalFromGamesLine(std::string_view line) {
    GameTotal game;
    const std::size_t firstTab = line.find('\t');
    game.id = line.substr(0, firstTab);
    if (firstTab == std::string_view::npos) return game;
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    if (secondTab == std::string_view::npos) return game;
    std::string_view rest = line.substr(secondTab + 1);
    const std::size_t dash = rest.rfind(" - ");
    game.firstPlayed = game.lastPlayed = rest.substr(0, dash);
    if (dash != std::string_view::npos) game.minutes = ParseDuration(rest.substr(dash + 3)).value_or(0);
    return game;
}

}  // namespace kavri
