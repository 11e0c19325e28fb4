#include "stats/stats_file.h"

namespace kavri {
namespace {

void PutString(std::string& out, std::string_view field) {
    out += '"';
    out += field;
    out += '"';
}

void PutList(std::string& out, const ListBox& list) {
    out += std::to_string(list.Count() - 1);
    out += "\r\n";
    for (const std::string& line : list.Lines()) {
        PutString(out, line);
        out += "\r\n";
    }
}

std::size_t ListBytes(const ListBox& list) {
    std::size_t size = 8;
    for (const std::string& line : list.Lines()) size += line.size() + 4;
    return size;
}

bool ReadList(FieldReader& in, std::vector<std::string>& lines) {
    const auto last = in.ReadInteger();
    if (!last) return false;
    for (int j = 0; j <= *last; ++j) {
        auto line = in.ReadString();
        if (!line) return false;
        lines.push_back(std::move(*line));
    }
    return true;
}

}  // namespace

std::string FormatStatsFile(const std::array<Label, 8>& counts, const std::array<Label, 8>& minutes,
                            const ListBox& games, const ListBox& runs) {
    std::string out;
    out.reserve(ListBytes(games) + ListBytes(runs) + 8 * 16);
    for (std::size_t i = 0; i < 8; ++i) {
        PutString(out, counts[i].Caption());
        out += ',';
        PutString(out, minutes[i].Tag());
        out += "\r\n";
    }
    PutList(out, games);
    PutList(out, runs);
    return out;
}

StatsContent ParseStatsFile(std::string_view bytes) {
    StatsContent content;
    FieldReader in(bytes);
    for (int i = 0; i < 8; ++i) {
        auto count = in.ReadString();
        auto minutes = count ? in.ReadString() : std::nullopt;
        if (!minutes) return content;
        content.slots.push_back({std::move(*count), std::move(*minutes)});
    }
    content.complete = ReadList(in, content.games) && ReadList(in, content.runs);
    content.altered = in.Altered();
    return content;
}

}  // namespace kavri
