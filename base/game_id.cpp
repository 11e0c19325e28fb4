#include "base/game_id.h"

#include <cstddef>

#include "base/text_util.h"

namespace kavri {
namespace {

std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0) {
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && UpperAscii(text[i + k]) == UpperAscii(needle[k])) ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

// Up to count characters from pos; shorter or empty past the end.
std::string_view Mid(std::string_view text, std::size_t pos, std::size_t count) {
    return pos >= text.size() ? std::string_view{} : text.substr(pos, count);
}

char Safe(char c) { return (c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? '_' : UpperAscii(c); }

}  // namespace

std::string_view FirstLine(std::string_view text) {
    const std::size_t cr = text.find('\r');
    return cr == std::string_view::npos ? text : text.substr(0, cr);
}

std::string GameIdFromLine(std::string_view line) {
    const std::size_t device = FindNoCase(line, "cdrom:");
    if (device == std::string_view::npos) return {};
    const std::size_t p = FindNoCase(line, "S", device);
    if (p == std::string_view::npos) return {};
    std::string id;
    id += Mid(line, p, 4);
    id += '-';
    id += Mid(line, p + 5, 3);
    id += Mid(line, p + 9, 2);
    for (char& c : id) c = Safe(c);
    return id;
}

std::string IdKey(std::string_view id) {
    std::string key(id);
    for (char& c : key) c = UpperAscii(c);
    return key;
}

}  // namespace kavri
