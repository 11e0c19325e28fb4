// Review probe: copy tags the title rule leaves on ordinary file names; the titles themselves
// are never mangled (the last rows pass and guard that).
#include "stats/file_title.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

TEST(ReviewProbe, CopyTagsLeftOnOrdinaryTitles) {
    const struct {
        const char *path, *title;
    } rows[] = {
        {"Saga - Disc 1.bin", "Saga"},           {"Saga CD1.bin", "Saga"},
        {"Hero (Disc A).iso", "Hero"},           {"Arena (PAL).bin", "Arena"},
        {"Arena (NTSC-U).bin", "Arena"},         {"Hero (en,fr).iso", "Hero"},
        {"Hero (EN).iso", "Hero"},               {"Arena (Japan) (1.1).bin", "Arena"},
        {"Final Mission (Disc 1).cue", "Final Mission"}, {"Hero II (v1.1).iso", "Hero II"},
        {"Arena (En,Fr,De).bin", "Arena"},       {"Gran Turismo 2 (Arcade Disc).cue", "Gran Turismo 2 (Arcade Disc)"},
        {"Hero (Side A).iso", "Hero (Side A)"},  {"Track & Field.iso", "Track & Field"},
    };
    for (const auto& row : rows) {
        const std::vector<std::string> titles = TitlesFromImagePath(row.path, "SLUS-00594").titles;
        EXPECT_EQ(titles.empty() ? "" : titles[0], row.title) << row.path;
    }
}

}  // namespace
}  // namespace kavri::test
