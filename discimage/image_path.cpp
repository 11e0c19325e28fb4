#include "discimage/image_path.h"

#include "base/text_util.h"

namespace kavri {
namespace {

// A part of a path that Windows reads as a device: its name up to the first dot (or colon),
// without the blanks before it, is a device's, in any letter case.
bool IsDeviceName(std::string_view part) {
    part = part.substr(0, part.find_first_of(".:"));
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (EqualsNoCase(part, device)) return true;
    if (part.size() < 4 || !(StartsWithNoCase(part, "COM") || StartsWithNoCase(part, "LPT"))) return false;
    const std::string_view number = part.substr(3);
    // COM0 to COM9, and the superscript digits Windows also takes ("COM\u00B9" in UTF-8).
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" || number == "\xC2\xB2" ||
           number == "\xC2\xB3";
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool InDeviceNamespace(std::string_view path) {
    const auto separator = [&](std::size_t at) { return at < path.size() && IsSeparator(path[at]); };
    // Windows passes the object namespace ("\??\x") through as it stands.
    if (separator(0) && separator(3) && path[1] == '?' && path[2] == '?') return true;
    if (!separator(0) || !separator(1)) return false;  // a drive's path, or relative
    std::string_view rest = path;
    rest.remove_prefix(2);
    if (!rest.empty() && (rest[0] == '.' || rest[0] == '?') && (rest.size() == 1 || separator(3))) {
        if (rest[0] == '.') return true;
        rest.remove_prefix(std::min<std::size_t>(2, rest.size()));
        const char drive = UpperAscii(rest.empty() ? '\0' : rest[0]);
        if (rest.size() >= 3 && drive >= 'A' && drive <= 'Z' && rest[1] == ':' && IsSeparator(rest[2])) return false;
        if (rest.size() < 4 || !StartsWithNoCase(rest, "UNC") || !IsSeparator(rest[3])) return true;
        rest.remove_prefix(4);
    }
    // A network path: a server, then a share that is neither its pipes nor its mailslots.
    const std::size_t server = rest.find_first_of("\\/");
    if (server == 0 || server == std::string_view::npos) return true;
    const std::size_t end = rest.find_first_of("\\/", server + 1);
    const std::string_view share = Trim(rest.substr(server + 1, end - server - 1), " .");
    return share.empty() || EqualsNoCase(share, "pipe") || EqualsNoCase(share, "mailslot");
}

bool NamesDiskFile(std::string_view path) {
    for (const char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    if (InDeviceNamespace(path)) return false;
    for (std::size_t at = 0; at <= path.size();) {
        const std::size_t end = std::min(path.find_first_of("\\/", at), path.size());
        if (IsDeviceName(path.substr(at, end - at))) return false;
        at = end + 1;
    }
    return true;
}

ImageKind KindOf(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    for (const char* ext : {".iso", ".img", ".bin"})
        if (EndsWithNoCase(name, ext)) return ImageKind::Sectors;
    if (EndsWithNoCase(name, ".cue")) return ImageKind::Cue;
    if (EndsWithNoCase(name, ".m3u")) return ImageKind::M3u;
    if (EndsWithNoCase(name, ".ecm")) return ImageKind::Ecm;
    if (EndsWithNoCase(name, ".chd")) return ImageKind::Chd;
    if (EndsWithNoCase(name, ".mds")) return ImageKind::Mds;
    if (EndsWithNoCase(name, ".mdf")) return ImageKind::Mdf;
    if (EndsWithNoCase(name, ".pbp")) return ImageKind::Pbp;
    if (EndsWithNoCase(name, ".ccd") || EndsWithNoCase(name, ".sub")) return ImageKind::Ccd;
    if (EndsWithNoCase(name, ".nrg")) return ImageKind::Nrg;
    return ImageKind::None;
}

std::optional<std::string> BesideList(std::string_view listPath, std::string_view name) {
    std::string relative(name);
    for (char& c : relative)
        if (c == '/') c = '\\';
    // A drive, a stream name or a device ("C:", "a:b", "\\server") has no place in a relative name.
    if (relative.empty() || relative.front() == '\\' || relative.find(':') != std::string::npos || !NamesDiskFile(relative))
        return std::nullopt;
    for (std::size_t at = 0; at <= relative.size();) {
        std::size_t end = relative.find('\\', at);
        if (end == std::string::npos) end = relative.size();
        const std::string_view part = Trim(std::string_view(relative).substr(at, end - at), " .");
        // ".." leaves the folder; Windows also reads "..." or ". ." as a step up or as nothing.
        if (part.empty() && end - at > 0) return std::nullopt;
        at = end + 1;
    }
    return InFolder(std::string(FolderOf(listPath)), relative);
}

}  // namespace kavri
