#include "monitor/command_line.h"

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

}  // namespace kavri
