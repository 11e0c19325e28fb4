#include "tests/harness.h"

namespace kavri::test {
namespace {

// A game disc in D: whose boot file names the given identifier; the clock at Aug 02, 2000 17:28:10.
struct RecordTest : ::testing::Test {
    Harness h;
    void SetUp() override {
        h.form.currentDrive = "D:";
        h.os.clock.Set(2000, 8, 2, 17, 28, 10);
        Boot("BOOT = cdrom:\\SLUS_005.94;1");
    }
    void Boot(const std::string& line) { h.os.files.Put("D:\\system.cnf", line + "\r\n"); }
    void Lines(std::initializer_list<const char*> lines) {
        for (const char* line : lines) h.form.lstGames.Append(line);
    }
};

// The games list before and after one recording, and the line that becomes the current game.
TEST(RecordGame, OneMoreRecordingOfTheDiscsGame) {
    const std::string now = "\tAug 02, 2000 17:28:10";
    const struct {
        const char* what;
        std::vector<std::string> before;
        std::string boot;  // the boot file's first line; empty for no boot file
        std::vector<std::string> after;
        int current;  // -1: the current game stays as it was
    } rows[] = {
        {"a new game is appended with count 1", {}, "BOOT = cdrom:\\SLUS_005.94;1", {"SLUS-00594\t1 " + now}, 0},
        {"a known game: count raised, date renewed, duration gone; the first match only",
         {"SCES-05678\t1 \tJul 30", "SLUS-00594\t3 \tAug 01 - 1h 5m", "SLUS-00594\t8 \tduplicate"},
         "BOOT = cdrom:\\SLUS_005.94;1",
         {"SCES-05678\t1 \tJul 30", "SLUS-00594\t4 " + now, "SLUS-00594\t8 \tduplicate"}, 1},
        {"letter case is ignored", {"slus-00594\t2 \tAug 01"}, "BOOT = cdrom:\\SLUS_005.94;1", {"SLUS-00594\t3 " + now}, 0},
        {"a prefix matches; the tab inside the rest is skipped", {"SLUS-00594\t3 \tAug 01"}, "BOOT = cdrom:\\SLUS_00",
         {"SLUS-00\t944 " + now}, 0},
        {"no count reads as 0", {"SLUS-00594"}, "BOOT = cdrom:\\SLUS_005.94;1", {"SLUS-00594\t1 " + now}, 0},
        {"the count stops at 16 bits", {"SCUS-94426\t32767 \tx"}, "BOOT = cdrom:\\SCUS_944.26;1", {"SCUS-94426\t32767 " + now}, 0},
        {"a negative count starts again at 1", {"SLES-12345\t-9 \tx"}, "BOOT = cdrom:\\SLES_123.45;1", {"SLES-12345\t1 " + now}, 0},
        {"no identifier", {"SCES-05678\t1 \tx"}, "BOOT = cdrom:\\MAIN.EXE;1", {"SCES-05678\t1 \tx"}, -1},
        {"no boot line", {"SCES-05678\t1 \tx"}, "TCB = 4", {"SCES-05678\t1 \tx"}, -1},
        {"no boot file", {"SCES-05678\t1 \tx"}, "", {"SCES-05678\t1 \tx"}, -1},
    };
    for (const auto& row : rows) {
        Harness g;
        g.os.clock.Set(2000, 8, 2, 17, 28, 10);
        g.form.currentDrive = "D:";
        if (!row.boot.empty()) g.os.files.Put("D:\\system.cnf", row.boot + "\r\n");
        for (const std::string& line : row.before) g.form.lstGames.Append(line);
        g.form.currentEntry = "earlier", g.form.currentIndex = 7, g.form.gameMinutes = 4;
        g.form.RecordGame();
        EXPECT_EQ(g.form.lstGames.Lines(), row.after) << row.what;
        EXPECT_EQ(g.form.currentIndex, row.current < 0 ? 7 : row.current) << row.what;
        EXPECT_EQ(g.form.currentEntry, row.current < 0 ? "earlier" : row.after[row.current]) << row.what;
        EXPECT_EQ(g.form.gameMinutes, 0) << row.what;
    }
}

TEST_F(RecordTest, RecordingLeavesRunsAndSlotsAlone) {
    const auto revision = h.form.lstTimes.Revision() + h.form.lblTimesUsed.Revision();
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstTimes.Revision() + h.form.lblTimesUsed.Revision(), revision);
    EXPECT_EQ(h.SlotCounts(), std::vector<std::string>(8, "0"));
}

}  // namespace
}  // namespace kavri::test
