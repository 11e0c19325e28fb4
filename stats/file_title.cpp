#include "stats/file_title.h"

#include <array>
#include <cctype>

#include "base/text_util.h"
#include "stats/name_list.h"

namespace kavri {
namespace {

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string_view After(std::string_view text, std::string_view word) {
    return StartsWithNoCase(text, word) ? Trim(text.substr(word.size())) : std::string_view();
}

// "Disc 1", "Disc 1 of 3", "CD2", "Track 01", "Rev 1", "Rev A", "v1.1", "Version 2".
bool IsNumbered(std::string_view group) {
    for (const char* word : {"Disc", "Disk", "CD", "Track"}) {
        std::string_view number = After(group, word);
        if (const std::size_t of = number.find(" of "); of != std::string_view::npos) {
            if (!IsDigits(number.substr(of + 4))) continue;
            number = number.substr(0, of);
        }
        if (IsDigits(number)) return true;
    }
    if (const std::string_view revision = After(group, "Rev"); !revision.empty())
        return IsDigits(revision) || (revision.size() == 1 && std::isupper(static_cast<unsigned char>(revision[0])));
    std::string_view version = After(group, "Version");
    if (version.empty() && group.size() > 1 && (group[0] == 'v' || group[0] == 'V')) version = group.substr(1);
    if (version.empty() || version.front() == '.' || version.back() == '.') return false;
    for (const char c : version)
        if (c != '.' && (c < '0' || c > '9')) return false;
    return true;
}

constexpr std::array<std::string_view, 24> kRegions = {
    "USA", "Europe", "Japan", "World", "Asia", "Australia", "Brazil", "Canada", "China", "France", "Germany", "Italy",
    "Korea", "Netherlands", "Spain", "Sweden", "UK", "Russia", "Taiwan", "Hong Kong", "Scandinavia", "Greece",
    "Portugal", "Denmark"};

// "USA", "USA, Europe", "En,Fr,De", "En-GB": a list whose every part is a region or a language.
bool IsRegionsOrLanguages(std::string_view group) {
    for (std::size_t at = 0; at <= group.size();) {
        const std::size_t end = std::min(group.find(',', at), group.size());
        const std::string_view part = Trim(group.substr(at, end - at));
        bool known = part.size() >= 2 && std::isupper(static_cast<unsigned char>(part[0])) &&
                     std::islower(static_cast<unsigned char>(part[1])) &&
                     (part.size() == 2 || (part.size() == 5 && part[2] == '-'));
        for (const std::string_view region : kRegions) known = known || part == region;
        if (!known) return false;
        at = end + 1;
    }
    return true;
}

bool Describes(std::string_view group, char open, std::string_view gameId) {
    if (open == '[' && group == "!") return true;
    if (!gameId.empty() && NameKey(group) == NameKey(gameId)) return true;
    return IsNumbered(group) || IsRegionsOrLanguages(group);
}

// The text without its extension: ".bin.ecm" whole, else the last one of an image's.
std::string_view WithoutExtension(std::string_view name) {
    for (const std::string_view extension : {".bin.ecm", ".cue", ".iso", ".img", ".bin", ".ecm", ".chd", ".m3u", ".pbp"})
        if (name.size() > extension.size() && EndsWithNoCase(name, extension))
            return name.substr(0, name.size() - extension.size());
    return name;
}

}  // namespace

std::string TitleFromImageFile(std::string_view path, std::string_view gameId) {
    std::string_view title = Trim(WithoutExtension(FileNameOf(path)));
    while (!title.empty() && (title.back() == ')' || title.back() == ']')) {
        const char close = title.back(), open = close == ')' ? '(' : '[';
        // The group's own opening bracket, brackets nested within it passed over.
        int depth = 0;
        std::size_t at = title.size();
        while (at-- > 0) {
            if (title[at] == close) ++depth;
            if (title[at] == open && --depth == 0) break;
        }
        if (at == std::string_view::npos || depth != 0) break;  // unbalanced: part of the title
        if (!Describes(Trim(title.substr(at + 1, title.size() - at - 2)), open, gameId)) break;
        title = Trim(title.substr(0, at));
    }
    return std::string(title);
}

}  // namespace kavri
