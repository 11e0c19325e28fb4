// Reads a statistics file the Windows program wrote: exits 0 only when it reads completely and
// its bytes are exactly what the core's format makes of its content, and prints that content
// one item per line (tabs as \t) for the end-to-end tests to look at.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "stats/stats_file.h"

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\t' ? std::string("\\t") : std::string(1, c);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: stats_check FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const kavri::StatsContent content = kavri::ParseStatsFile(bytes);
    if (!content.complete || content.slots.size() != 8) {
        std::printf("unreadable\n");
        return 1;
    }
    std::array<kavri::Label, 8> counts, minutes;
    kavri::ListBox games, runs;
    for (std::size_t i = 0; i < 8; ++i) {
        counts[i].SetCaption(content.slots[i].count);
        minutes[i].SetTag(content.slots[i].minutes);
        std::printf("slot(%zu)=%s,%s\n", i, content.slots[i].count.c_str(), content.slots[i].minutes.c_str());
    }
    for (const std::string& line : content.games) {
        games.Append(line);
        std::printf("game=%s\n", Escaped(line).c_str());
    }
    for (const std::string& line : content.runs) {
        runs.Append(line);
        std::printf("run=%s\n", Escaped(line).c_str());
    }
    if (kavri::FormatStatsFile(counts, minutes, games, runs) != bytes) {
        std::printf("not in the program's own format\n");
        return 1;
    }
    return 0;
}
