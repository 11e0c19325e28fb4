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

// "2", "01": a number from 1 to most.
int NumberUpTo(std::string_view text, int most) {
    if (!IsDigits(text) || text.size() > 2) return 0;
    const int number = text.size() == 1 ? text[0] - '0' : (text[0] - '0') * 10 + (text[1] - '0');
    return number <= most ? number : 0;
}

// "1.1", "1.02.3"
bool IsDottedNumber(std::string_view text) {
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos || !IsDigits(text.substr(0, dot))) return false;
    const std::string_view rest = text.substr(dot + 1);
    return IsDigits(rest) || IsDottedNumber(rest);
}

std::string_view After(std::string_view text, std::string_view word) {
    return StartsWithNoCase(text, word) ? Trim(text.substr(word.size())) : std::string_view();
}

// A disc of a set, of at most nine: "Disc 1", "Disk 2 of 3", "CD2", "Disc B" where lettered;
// not "CD40".
bool IsDisc(std::string_view group, bool lettered = true) {
    for (const char* word : {"Disc", "Disk", "CD"}) {
        std::string_view number = After(group, word);
        if (lettered && number.size() == 1 && number[0] >= 'A' && number[0] <= 'I' && group.size() > 3) return true;
        int count = 9;
        if (const std::size_t of = number.find(" of "); of != std::string_view::npos) {
            count = NumberUpTo(number.substr(of + 4), 9);
            number = number.substr(0, of);
        }
        if (NumberUpTo(number, count) > 0) return true;
    }
    return false;
}

// "Track 01", "Rev 1", "Rev A", "v1.1", "1.1", "Version 2"; not "V8".
bool IsTrackVersionOrRevision(std::string_view group) {
    if (NumberUpTo(After(group, "Track"), 99) > 0) return true;
    if (const std::string_view revision = After(group, "Rev"); !revision.empty())
        return IsDigits(revision) || (revision.size() == 1 && std::isupper(static_cast<unsigned char>(revision[0])));
    if (const std::string_view version = After(group, "Version"); !version.empty())
        return IsDigits(version) || IsDottedNumber(version);
    if (IsDottedNumber(group)) return true;
    return group.size() > 1 && (group[0] == 'v' || group[0] == 'V') && IsDottedNumber(group.substr(1));
}

constexpr std::array<std::string_view, 28> kRegions = {"PAL", "NTSC", "NTSC-U", "NTSC-J",
    "USA", "Europe", "Japan", "World", "Asia", "Australia", "Brazil", "Canada", "China", "France", "Germany", "Italy",
    "Korea", "Netherlands", "Spain", "Sweden", "UK", "Russia", "Taiwan", "Hong Kong", "Scandinavia", "Greece",
    "Portugal", "Denmark"};

// The language codes of release names; "Go" or "Ok" is no language.
constexpr std::string_view kLanguages =
    "En Ja Fr De Es It Nl Pt Sv No Da Fi Zh Ko Pl Ru El Ca Hu Cs Tr Ar He Ro Hr Sk Bg Uk Th Vi";

// "Fr", "FR", "En-GB", and "fr" in a list ("en,fr"); not "fR", "Ax-99" or "no" alone.
bool IsLanguage(std::string_view part, bool inList) {
    if (part.size() == 5 && part[2] == '-' && std::isupper(static_cast<unsigned char>(part[3])) &&
        std::isupper(static_cast<unsigned char>(part[4])))
        part = part.substr(0, 2);
    if (part.size() != 2 || !std::isalpha(static_cast<unsigned char>(part[0])) ||
        !std::isalpha(static_cast<unsigned char>(part[1])))
        return false;
    const bool upper0 = std::isupper(static_cast<unsigned char>(part[0])), upper1 = std::isupper(static_cast<unsigned char>(part[1]));
    if (upper1 ? !upper0 : (!upper0 && !inList)) return false;
    const char code[2] = {static_cast<char>(std::toupper(static_cast<unsigned char>(part[0]))),
                          static_cast<char>(std::tolower(static_cast<unsigned char>(part[1])))};
    return kLanguages.find(std::string_view(code, 2)) != std::string_view::npos;
}

// "USA", "USA, Europe", "En,Fr,De", "En-GB": a list whose every part is a region or a language.
bool IsRegionsOrLanguages(std::string_view group) {
    for (std::size_t at = 0; at <= group.size();) {
        const std::size_t end = std::min(group.find(',', at), group.size());
        const std::string_view part = Trim(group.substr(at, end - at));
        bool known = IsLanguage(part, group.find(',') != std::string_view::npos);
        for (const std::string_view region : kRegions) known = known || part == region;
        if (!known) return false;
        at = end + 1;
    }
    return true;
}

bool Describes(std::string_view group, char open, std::string_view gameId) {
    if (open == '[' && group == "!") return true;
    if (!gameId.empty() && NameKey(group) == NameKey(gameId)) return true;
    return IsDisc(group) || IsTrackVersionOrRevision(group) || IsRegionsOrLanguages(group);
}

// The text without its extension: ".bin.ecm" whole, else the last one of an image's.
std::string_view WithoutExtension(std::string_view name) {
    for (const std::string_view extension : {".bin.ecm", ".cue", ".iso", ".img", ".bin", ".ecm", ".chd", ".m3u", ".pbp"})
        if (EndsWithNoCase(name, extension)) return name.substr(0, name.size() - extension.size());
    return name;
}

// "Saga - Disc 1", "Saga - Disc A", "Saga CD1", "Saga Disc 2": a disc of the set named without
// brackets; a letter only after a dash ("Studio CD I" is a title).
std::string_view WithoutDiscWords(std::string_view title, bool& disc) {
    std::size_t at = title.rfind(" - ");
    std::size_t skip = 3;
    if (at == std::string_view::npos || !IsDisc(title.substr(at + skip))) {
        skip = 1;
        at = title.rfind(' ');
        if (at != std::string_view::npos && !IsDisc(title.substr(at + 1), false)) at = title.rfind(' ', at - 1);
    }
    if (at == std::string_view::npos || at == 0 || !IsDisc(title.substr(at + skip), skip == 3)) return title;
    disc = true;
    return Trim(title.substr(0, at));
}

// The name without the groups at its end that describe the copy; disc tells whether one named a disc.
std::string_view WithoutTags(std::string_view title, std::string_view gameId, bool& disc) {
    title = Trim(title);
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
        const std::string_view group = Trim(title.substr(at + 1, title.size() - at - 2));
        if (!Describes(group, open, gameId)) break;
        disc = disc || IsDisc(group);
        title = Trim(title.substr(0, at));
    }
    return WithoutDiscWords(title, disc);
}

// Words that name no game, alone or numbered: "game", "EBOOT", "Disc 2", "Track 01", "images".
constexpr std::string_view kNoGame = "game games disc discs disk disks cd cds cdrom image images img iso isos rom roms "
                                     "track tracks eboot boot data psx ps1 psone psp downloads desktop";

bool SaysNothing(std::string_view title) {
    const std::size_t end = title.find_last_not_of("0123456789 _-.");
    if (end == std::string_view::npos) return title.empty();  // a number alone, as "1942", is a title
    for (std::size_t at = 0; at < kNoGame.size();) {
        const std::size_t next = std::min(kNoGame.find(' ', at), kNoGame.size());
        if (EqualsNoCase(title.substr(0, end + 1), kNoGame.substr(at, next - at))) return true;
        at = next + 1;
    }
    return false;
}

// "C:", "\\server\share": the root of a drive or a share, whose name is no game's.
bool IsRoot(std::string_view folder) {
    const bool share = folder.starts_with("\\\\");
    if (share) folder.remove_prefix(2);
    const std::size_t slash = folder.find('\\');
    return slash == std::string_view::npos || (share && folder.find('\\', slash + 1) == std::string_view::npos);
}

}  // namespace

ImageTitles TitlesFromImagePath(std::string_view path, std::string_view gameId) {
    ImageTitles found;
    const auto add = [&](std::string_view title) {
        for (const std::string& known : found.titles)
            if (EqualsNoCase(known, title)) return;
        found.titles.push_back(std::string(title));
    };
    const std::string_view name = Trim(WithoutExtension(FileNameOf(path)));
    const std::string_view title = WithoutTags(name, gameId, found.disc);
    found.disc = found.disc || IsDisc(title);
    if (!SaysNothing(title)) {
        add(title);
        add(name);
    }
    std::string_view folder = FolderOf(path);
    for (int level = 0; level < 3 && !IsRoot(folder); ++level, folder = FolderOf(folder)) {
        bool disc = false;
        const std::string_view named = WithoutTags(FileNameOf(folder), gameId, disc);
        if (!SaysNothing(named) && NameKey(named) != NameKey(gameId)) add(named);
    }
    return found;
}

}  // namespace kavri
