#include "base/text_util.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace kavri {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

std::string InFolder(std::string folder, std::string_view name) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder += name;
}

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

bool IsInsideFolder(std::string_view path, std::string_view folder) {
    while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    return !folder.empty() && path.size() > folder.size() + 1 && StartsWithNoCase(path, folder) &&
           path[folder.size()] == '\\';
}

namespace {

// The code point of the sequence at text[i], advancing i; nothing for a malformed sequence.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    constexpr char32_t kReplacement = 0xFFFD;
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i++);
    if (lead < 0x80) return lead;
    // Leads C0, C1 and F5 to FF begin no sequence of the standard.
    const int extra = lead >= 0xF5 ? -1 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (extra < 0 || i + extra > text.size()) return kReplacement;
    char32_t point = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return kReplacement;
        point = (point << 6) | (byte(i + k) & 0x3F);
    }
    i += extra;
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    const bool valid = point >= kSmallest[extra] && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
    return valid ? point : kReplacement;
}

}  // namespace

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t point = NextCodePoint(text, i);
        if (point < 0x10000) {
            out += static_cast<char16_t>(point);
        } else {
            out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string_view Trim(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::optional<std::string> Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t point = text[i];
        if (point >= 0xDC00 && point <= 0xDFFF) return std::nullopt;
        if (point >= 0xD800 && point <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return std::nullopt;
            point = 0x10000 + ((point - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        const auto put = [&](unsigned value) { out += static_cast<char>(value); };
        if (point < 0x80) {
            put(point);
        } else if (point < 0x800) {
            put(0xC0 | (point >> 6)), put(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            put(0xE0 | (point >> 12)), put(0x80 | ((point >> 6) & 0x3F)), put(0x80 | (point & 0x3F));
        } else {
            put(0xF0 | (point >> 18)), put(0x80 | ((point >> 12) & 0x3F)), put(0x80 | ((point >> 6) & 0x3F)),
                put(0x80 | (point & 0x3F));
        }
    }
    return out;
}

bool IsUtf8(std::string_view text) {
    // A malformed sequence reads as U+FFFD; a real U+FFFD is the three bytes EF BF BD.
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t at = i;
        if (NextCodePoint(text, i) == 0xFFFD && text.substr(at, 3) != "\xEF\xBF\xBD") return false;
    }
    return true;
}

std::size_t CharacterCount(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PathKey(std::string_view path) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : path) {
        hash ^= static_cast<unsigned char>(UpperAscii(c));
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

}  // namespace kavri
