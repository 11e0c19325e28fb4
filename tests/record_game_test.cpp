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

TEST_F(RecordTest, ANewGameIsAppendedWithCountOne) {
    h.form.gameMinutes = 9;
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstGames.Lines(), std::vector<std::string>{"SLUS-00594\t1 \tAug 02, 2000 17:28:10"});
    EXPECT_EQ(h.form.currentEntry, "SLUS-00594\t1 \tAug 02, 2000 17:28:10");
    EXPECT_EQ(h.form.currentIndex, 0);
    EXPECT_EQ(h.form.gameMinutes, 0);
}

TEST_F(RecordTest, AKnownGameGetsItsCountRaisedAndTheDateRenewed) {
    Lines({"SCES-05678\t1 \tJul 30, 2000 10:14:00", "SLPS-01234\t2 \tJul 31, 2000 10:00:00",
           "SLUS-00594\t3 \tAug 02, 2000 17:28:10 - 1h 5m", "SLUS-00594\t8 \tduplicate"});
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstGames.Line(2), "SLUS-00594\t4 \tAug 02, 2000 17:28:10");
    EXPECT_EQ(h.form.lstGames.Line(3), "SLUS-00594\t8 \tduplicate");
    EXPECT_EQ(h.form.lstGames.Count(), 4);
    EXPECT_EQ(h.form.currentIndex, 2);
}

TEST_F(RecordTest, MatchingIgnoresCaseAndIsByPrefix) {
    Lines({"slus-00594\t2 \tAug 01, 2000 10:00:00"});
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstGames.Line(0), "SLUS-00594\t3 \tAug 02, 2000 17:28:10");

    Boot("BOOT = cdrom:\\SLUS_00");  // identifier cut short: "94\t3 \t..." reads as 943
    h.form.lstGames.Replace(0, "SLUS-00594\t3 \tAug 02, 2000 17:28:10");
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstGames.Line(0), "SLUS-00\t944 \tAug 02, 2000 17:28:10");
}

TEST_F(RecordTest, CountsWithoutANumberStartAtOneAndStopAtTheSixteenBitLimit) {
    Lines({"SLUS-00594", "SCUS-94426\t32767 \tJul 30, 2000 10:14:00", "SLES-12345\t-9 \tx"});
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstGames.Line(0), "SLUS-00594\t1 \tAug 02, 2000 17:28:10");
    Boot("BOOT = cdrom:\\SCUS_944.26;1");
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstGames.Line(1), "SCUS-94426\t32767 \tAug 02, 2000 17:28:10");
    Boot("BOOT = cdrom:\\SLES_123.45;1");
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstGames.Line(2), "SLES-12345\t1 \tAug 02, 2000 17:28:10");
}

TEST_F(RecordTest, NoIdentifierChangesNothingButTheGameMinutes) {
    Lines({"SCES-05678\t1 \tJul 30, 2000 10:14:00"});
    h.form.currentEntry = "SCES-05678\t1 \tJul 30, 2000 10:14:00";
    h.form.currentIndex = 0;
    h.form.gameMinutes = 4;
    for (const char* boot : {"BOOT = cdrom:\\MAIN.EXE;1", "TCB = 4"}) {
        Boot(boot);
        h.form.RecordGame();
    }
    h.os.files.Remove("D:\\system.cnf");
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstGames.Count(), 1);
    EXPECT_EQ(h.form.currentIndex, 0);
    EXPECT_EQ(h.form.currentEntry, "SCES-05678\t1 \tJul 30, 2000 10:14:00");
    EXPECT_EQ(h.form.gameMinutes, 0);
}

TEST_F(RecordTest, ACraftedIdentifierCannotCorruptTheStatisticsFile) {
    Boot("BOOT = cdrom:\\S\"US_0\n5.94;1");
    h.form.RecordGame();
    h.form.lstTimes.Append("Aug 02, 2000 17:28:10 - 0h 0m");
    h.form.SaveStats();
    Harness reloaded;
    reloaded.os.files.Put(kStatsPath, h.Stats());
    ASSERT_TRUE(reloaded.form.LoadStats());
    EXPECT_EQ(reloaded.form.lstGames.Lines(), h.form.lstGames.Lines());
    EXPECT_EQ(reloaded.form.lstTimes.Lines(), h.form.lstTimes.Lines());
}

TEST_F(RecordTest, RecordingLeavesRunsAndSlotsAlone) {
    const auto revision = h.form.lstTimes.Revision() + h.form.lblTimesUsed.Revision();
    h.form.RecordGame();
    EXPECT_EQ(h.form.lstTimes.Revision() + h.form.lblTimesUsed.Revision(), revision);
    EXPECT_EQ(h.SlotCounts(), std::vector<std::string>(8, "0"));
}

}  // namespace
}  // namespace kavri::test
