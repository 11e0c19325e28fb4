#include "stats/stats_file.h"

#include <algorithm>
#include <cmath>

#include "stats/number_text.h"

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

std::optional<std::string> FieldReader::ReadString() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
    std::string field;
    if (text_[pos_] == '"') {
        const std::size_t close = text_.find('"', pos_ + 1);
        if (close == std::string_view::npos) return std::nullopt;
        field = text_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = std::min(text_.find_first_of(",\r\n", close + 1), text_.size());
        if (pos_ != close + 1) altered_ = true;
    } else {
        const std::size_t end = text_.find_first_of(",\r\n", pos_);
        std::string_view raw = text_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
        while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t')) raw.remove_suffix(1);
        field = raw;
        pos_ = end;
        for (char& c : field)
            if (c == '"') c = '_', altered_ = true;
    }
    SkipSeparator();
    return field;
}

std::optional<std::int16_t> FieldReader::ReadInteger() {
    const auto text = ReadString();
    if (!text) return std::nullopt;
    const auto value = ParseNumberText(*text);
    if (!value) return std::nullopt;
    const double whole = std::nearbyint(*value);
    if (whole < -32768.0 || whole > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(whole);
}

void FieldReader::SkipSeparator() {
    if (pos_ >= text_.size()) {
        pos_ = text_.size();
        return;
    }
    const char c = text_[pos_++];
    if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
}

int ReadFileVersion(std::string_view& bytes, std::string_view header) {
    const std::size_t end = bytes.find("\r\n");
    if (!bytes.starts_with(header) || end == std::string_view::npos) return 0;
    const std::string_view digits = bytes.substr(header.size(), end - header.size());
    if (digits.empty() || digits.size() > 9 || digits[0] == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    bytes.remove_prefix(end + 2);
    return std::stoi(std::string(digits));
}

}  // namespace kavri
