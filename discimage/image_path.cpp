#include "discimage/image_path.h"

#include "app/text_util.h"

namespace kavri {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

ImageKind KindOf(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    for (const char* ext : {".iso", ".img", ".bin"})
        if (EndsWithNoCase(name, ext)) return ImageKind::Sectors;
    if (EndsWithNoCase(name, ".cue")) return ImageKind::Cue;
    if (EndsWithNoCase(name, ".m3u")) return ImageKind::M3u;
    if (EndsWithNoCase(name, ".ecm")) return ImageKind::Ecm;
    if (EndsWithNoCase(name, ".chd")) return ImageKind::Chd;
    if (EndsWithNoCase(name, ".pbp")) return ImageKind::Unread;
    return ImageKind::None;
}

std::optional<std::string> BesideList(std::string_view listPath, std::string_view name) {
    std::string relative(name);
    for (char& c : relative)
        if (c == '/') c = '\\';
    // A drive, a stream name or a device ("C:", "a:b", "\\server") has no place in a relative name.
    if (relative.empty() || relative.front() == '\\' || relative.find(':') != std::string::npos) return std::nullopt;
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
