#include <gtest/gtest.h>

#include "base/game_id.h"

namespace kavri {
namespace {

// Only a carriage return ends the first line; quotes and control characters, which would break
// the statistics file, are replaced.
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
        {"BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n", "SLUS-00594"},
        {"VMODE = NTSC\nBOOT = cdrom:\\SLUS_005.94;1\n", "SLUS-00594"},
        {"BOOT = cdrom:\\SL\"S_005.94;1", "SL_S-00594"},
        {"BOOT = cdrom:\\SLUS_0\n5.94;1", "SLUS-0_594"},
        {"BOOT = cdrom:\\SLUS_\t\x7F" "5.94;1", "SLUS-__594"},
        {"TCB = 4\rBOOT = cdrom:\\SLUS_005.94;1", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(GameIdFromLine(FirstLine(row.line)), row.id) << row.line;
    EXPECT_EQ(GameIdFromLine(std::string("BOOT = cdrom:\\SLUS_\0\t5.94;1", 27)), "SLUS-__594");
}

}  // namespace
}  // namespace kavri
