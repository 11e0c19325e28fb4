#include "discimage/disc_lists.h"

#include <algorithm>

#include "base/text_util.h"

namespace kavri {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::vector<std::string_view> TextLines(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        lines.push_back(Trim(text.substr(0, end)));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

namespace {

// The first word of a line, and the rest after it.
std::string_view Word(std::string_view& line) {
    const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
    const std::string_view word = line.substr(0, end);
    line = Trim(line.substr(end));
    return word;
}

// A FILE line's name: quoted, or up to the last word (the file's type).
std::string FileName(std::string_view rest) {
    if (!rest.empty() && rest.front() == '"') {
        const std::size_t close = rest.find('"', 1);
        return std::string(rest.substr(1, close == std::string_view::npos ? rest.npos : close - 1));
    }
    const std::size_t type = rest.find_last_of(" \t");
    return std::string(Trim(type == std::string_view::npos ? rest : rest.substr(0, type)));
}

// "mm:ss:ff" in sectors, 75 to the second.
std::optional<std::uint64_t> Frames(std::string_view msf) {
    std::uint64_t parts[3] = {};
    int part = 0;
    for (const char c : msf) {
        if (c == ':' && part < 2) {
            ++part;
        } else if (c >= '0' && c <= '9' && parts[part] < 1000000) {
            parts[part] = parts[part] * 10 + static_cast<std::uint64_t>(c - '0');
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || parts[1] >= 60 || parts[2] >= 75) return std::nullopt;
    return (parts[0] * 60 + parts[1]) * 75 + parts[2];
}

// The sector size a track's mode names ("MODE2/2352"); 0 for audio and what is not known.
std::uint32_t SectorSize(std::string_view mode) {
    for (const std::uint32_t size : {2048u, 2336u, 2352u, 2448u})
        if (EqualsNoCase(mode, "MODE1/" + std::to_string(size)) || EqualsNoCase(mode, "MODE2/" + std::to_string(size)))
            return size;
    return 0;
}

}  // namespace

std::optional<CueTrack> ParseCue(std::string_view text) {
    std::string file;
    std::optional<CueTrack> track;
    for (std::string_view line : TextLines(text.substr(0, kListLimit))) {
        const std::string_view command = Word(line);
        if (EqualsNoCase(command, "FILE")) {
            if (track) break;  // the data track's file ended without an INDEX 01
            file = FileName(line);
        } else if (EqualsNoCase(command, "TRACK")) {
            if (track) break;
            Word(line);  // the track's number
            if (const std::uint32_t size = SectorSize(Word(line)); size != 0 && !file.empty())
                track = CueTrack{file, 0, size};
        } else if (track && EqualsNoCase(command, "INDEX") && Trim(Word(line), "0") == "1") {
            const auto start = Frames(Word(line));
            if (!start) return std::nullopt;
            track->startSector = *start;
            break;
        }
    }
    return track;
}

std::vector<std::string> ParseM3u(std::string_view text) {
    std::vector<std::string> discs;
    for (const std::string_view line : TextLines(text.substr(0, kListLimit)))
        if (!line.empty() && line.front() != '#') discs.emplace_back(line);
    return discs;
}

}  // namespace kavri
