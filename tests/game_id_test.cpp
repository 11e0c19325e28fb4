#include <gtest/gtest.h>

#include "monitor/game_id.h"

namespace kavri {
namespace {

TEST(GameId, FromTheFirstLineOfTheBootFile) {
    const struct {
        const char* line;
        const char* id;
    } rows[] = {
        {"BOOT = cdrom:\\SLUS_005.94;1", "SLUS-00594"},
        {"BOOT=cdrom:\\SCUS_944.26;1", "SCUS-94426"},
        {"BOOT = cdrom:\\slps_012.34;1", "SLPS-01234"},
        {"BOOT = CDROM:\\SLES_123.45;1", "SLES-12345"},
        {"BOOT = cdrom:\\GAMES\\SLUS_005.94;1", "S\\SL-S_05."},
        {"BOOT = cdrom:\\SLUS_00", "SLUS-00"},
        {"BOOT = cdrom:\\MAIN.EXE;1", ""},
        {"TCB = 4", ""},
        {"BOOT = cdrom0:\\SLUS_200.01;1", ""},
        {"BOOT = cdrom:S", "S-"},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(GameIdFromLine(row.line), row.id) << row.line;
}

TEST(GameId, OnlyACarriageReturnEndsTheFirstLine) {
    EXPECT_EQ(FirstLine("BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n"), "BOOT = cdrom:\\SLUS_005.94;1");
    const std::string lineFeedsOnly = "VMODE = NTSC\nBOOT = cdrom:\\SLUS_005.94;1\n";
    EXPECT_EQ(FirstLine(lineFeedsOnly), lineFeedsOnly);
    EXPECT_EQ(GameIdFromLine(FirstLine(lineFeedsOnly)), "SLUS-00594");
}

TEST(GameId, CharactersThatWouldBreakTheStatisticsFileAreReplaced) {
    EXPECT_EQ(GameIdFromLine("BOOT = cdrom:\\SL\"S_005.94;1"), "SL_S-00594");
    EXPECT_EQ(GameIdFromLine("BOOT = cdrom:\\SLUS_0\n5.94;1"), "SLUS-0_594");
    EXPECT_EQ(GameIdFromLine(std::string("BOOT = cdrom:\\SLUS_\0\t5.94;1", 27)), "SLUS-__594");
}

}  // namespace
}  // namespace kavri
