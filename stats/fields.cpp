#include "stats/fields.h"

#include <algorithm>
#include <cmath>

#include "stats/number_text.h"

namespace kavri {

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
