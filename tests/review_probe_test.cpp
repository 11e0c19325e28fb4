// Probes from review: ordinary inputs and orders of events the mended code must handle.
#include "stats/file_title.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

TEST(ReviewProbe, OrdinaryTitles) {
    const struct {
        const char *path, *title;
    } rows[] = {
        {"Final Mission (Disc 1).cue", "Final Mission"},
        {"Hero II (v1.1).iso", "Hero II"},
        {"Arena (En,Fr,De).bin", "Arena"},
        {"Arena (USA) (En,Fr,De,Es,It).bin", "Arena"},
        {"Final Mission (USA) (Disc 1) (Rev 2).cue", "Final Mission"},
        {"Hero II (Europe) (v1.10).iso", "Hero II"},
        {"Final Fight 2.iso", "Final Fight 2"},
        {"Disc Jam.iso", "Disc Jam"},
        {"Track & Field.iso", "Track & Field"},
        {"Game.iso", "Game"},
        {"Image Fight.bin", "Image Fight"},
        {"Saga - Disc 1.bin", "Saga"},
        {"Saga CD1.bin", "Saga"},
        {"Hero (Demo).iso", "Hero (Demo)"},
        {"Arena (USA) (Unl).bin", "Arena (Unl)"},
        {"Arena (Japan) (1.1).bin", "Arena"},
        {"Arena (Disc 1) [SLUS-00594].bin", "Arena"},
        {"Arena (Germany).bin", "Arena"},
        {"Arena (World).bin", "Arena"},
        {"Arena (Asia).bin", "Arena"},
        {"Arena (USA, Asia).bin", "Arena"},
        {"Arena (NTSC-U).bin", "Arena"},
        {"Arena (PAL).bin", "Arena"},
        {"Arena (En,Fr,De,Es,It,Nl,Sv).bin", "Arena"},
        {"Arena (Europe) (En,Fr,De) (Disc 1) (Rev 1).chd", "Arena"},
        {"Resident Evil 2 (Dual Shock Ver.).cue", "Resident Evil 2 (Dual Shock Ver.)"},
        {"Gran Turismo 2 (Arcade Disc).cue", "Gran Turismo 2 (Arcade Disc)"},
        {"Ridge Racer Type 4 (Bonus Disc).cue", "Ridge Racer Type 4 (Bonus Disc)"},
        {"Final Mission (Disc 1 of 3).cue", "Final Mission"},
        {"Hero (SLUS-00594).iso", "Hero"},
        {"Hero (Greatest Hits).iso", "Hero (Greatest Hits)"},
        {"Hero II (USA) (v1.1).iso", "Hero II"},
        {"Hero (It).iso", "Hero"},
        {"Rally (No).iso", "Rally"},
        {"Hero (Version 1.1).iso", "Hero"},
        {"Hero (Rev A).iso", "Hero"},
        {"Hero (Disc A).iso", "Hero"},
        {"Hero (Side A).iso", "Hero (Side A)"},
        {"Hero (CD 2).iso", "Hero"},
        {"Hero (Disk 2).iso", "Hero"},
        {"Hero (Track 02).bin", "Hero"},
        {"Hero (Track 2) (Audio).bin", "Hero (Track 2) (Audio)"},
        {"Hero (USA) (Track 2).bin", "Hero"},
        {"Hero (En,Fr).m3u", "Hero"},
        {"Hero (en,fr).iso", "Hero"},
        {"Hero (EN).iso", "Hero"},
        {"HERO.ISO", "HERO"},
        {"Hero.BIN.ECM", "Hero"},
        {"Hero (USA).CUE", "Hero"},
        {"Hero [!] (USA).cue", "Hero"},
        {"Hero (USA) [b].cue", "Hero (USA) [b]"},
    };
    for (const auto& row : rows) {
        const std::vector<std::string> titles = TitlesFromImagePath(row.path, "SLUS-00594").titles;
        EXPECT_EQ(titles.empty() ? "" : titles[0], row.title) << row.path;
    }
}

}  // namespace
}  // namespace kavri::test
