#include "monitor/command_line.h"

#include "base/text_util.h"
#include "discimage/image_path.h"

namespace kavri {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program's name, which knows no backslash rules, and the position after it.
std::size_t ProgramName(std::string_view line, std::vector<std::string>& args) {
    std::size_t at = 0;
    if (!line.empty() && line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        const std::size_t end = close == std::string_view::npos ? line.size() : close;
        args.emplace_back(line.substr(1, end - 1));
        at = end + 1;
    } else {
        while (at < line.size() && !IsBlank(line[at])) ++at;
        args.emplace_back(line.substr(0, at));
    }
    return at;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> args;
    std::size_t at = ProgramName(line, args);
    while (true) {
        while (at < line.size() && IsBlank(line[at])) ++at;
        if (at >= line.size()) break;
        std::string arg;
        bool quoted = false;
        while (at < line.size() && (quoted || !IsBlank(line[at]))) {
            std::size_t slashes = 0;
            while (at < line.size() && line[at] == '\\') ++slashes, ++at;
            if (at < line.size() && line[at] == '"') {
                arg.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    arg += '"';
                } else if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                    arg += '"';
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                arg.append(slashes, '\\');
                if (at < line.size() && (quoted || !IsBlank(line[at]))) arg += line[at++];
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// An argument as a full path: absolute ("C:\\x", "\\\\server\\x") as it stands, rooted ("\\x") on the
// current folder's drive, relative in the current folder; nothing where the folder is unknown or
// the path is relative to another drive's own current folder ("D:x").
std::optional<std::string> FullPath(std::string path, const std::string& folder) {
    for (char& c : path)
        if (c == '/') c = '\\';
    const bool drive = path.size() >= 2 && IsLetter(path[0]) && path[1] == ':';
    if (drive) return path.size() >= 3 && path[2] == '\\' ? std::optional(path) : std::nullopt;
    if (path.starts_with("\\\\")) return path;
    const bool folderOnDrive = folder.size() >= 3 && IsLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\';
    if (path.starts_with('\\')) return folderOnDrive ? std::optional(folder.substr(0, 2) + path) : std::nullopt;
    if (folder.empty() || !(folderOnDrive || folder.starts_with("\\\\"))) return std::nullopt;
    return InFolder(folder, path);
}

}  // namespace

std::vector<std::string> ImageArguments(const ProcessStart& start) {
    const std::vector<std::string> args = SplitCommandLine(start.commandLine);
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (KindOf(args[i]) == ImageKind::None || !NamesDiskFile(args[i])) continue;
        if (auto path = FullPath(args[i], start.currentFolder)) paths.push_back(std::move(*path));
    }
    return paths;
}

}  // namespace kavri
