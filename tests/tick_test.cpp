#include "tests/harness.h"

namespace kavri::test {
namespace {

// Wednesday 2 August 2000 (slot 3); the emulator not running at 10:00:15.
struct TickTest : ::testing::Test {
    Harness h;
    void SetUp() override {
        h.Emulator(false);
        h.os.clock.Set(2000, 8, 2, 10, 0, 15);
        h.form.Timer1_Timer();
        h.Emulator(true);
    }
    const std::string& Run() const { return h.form.lstTimes.Line(0); }
};

TEST_F(TickTest, CountsARunOnceAndCreditsEachMinuteBoundaryOnce) {
    h.TickAt(10, 0, 45);
    EXPECT_EQ(h.SlotCounts(), (std::vector<std::string>{"0", "0", "0", "1", "0", "0", "0", "1"}));
    EXPECT_EQ(Run(), "Aug 02, 2000 10:00:45 - 0h 0m");
    EXPECT_EQ(h.SlotMinutes()[7], "0/0h 0m");
    h.TickAt(10, 1, 15);
    EXPECT_EQ(Run(), "Aug 02, 2000 10:00:45 - 0h 1m");
    EXPECT_EQ(h.SlotMinutes()[3], "1/0h 1m");
    EXPECT_EQ(h.SlotMinutes()[7], "1/0h 1m");
    EXPECT_EQ(h.form.lastTickTime, (LocalDateTime{2000, 8, 2, 10, 1, 15}));
    h.TickAt(10, 1, 45);
    EXPECT_EQ(h.SlotMinutes()[7], "1/0h 1m");
    h.TickAt(10, 2, 15);
    EXPECT_EQ(h.SlotMinutes()[7], "2/0h 2m");
    EXPECT_EQ(h.SlotCounts()[7], "1");
    EXPECT_EQ(h.form.lstTimes.Count(), 1);
    EXPECT_EQ(h.SlotMinutes()[2], "0/0h 0m");
}

TEST_F(TickTest, TheFirstTickOfARunMayAlreadyCreditAMinute) {
    h.TickAt(10, 0, 50);
    h.Emulator(false);
    h.TickAt(10, 0, 50);
    h.Emulator(true);
    h.TickAt(10, 1, 20);
    EXPECT_EQ(h.SlotCounts()[7], "2");
    EXPECT_EQ(Run(), "Aug 02, 2000 10:01:20 - 0h 1m");
}

TEST_F(TickTest, MinutesGoToTheDayOfTheTickThatCreditsThem) {
    h.os.clock.Set(2000, 8, 5, 23, 59, 10);  // Saturday
    h.Emulator(false);
    h.form.Timer1_Timer();
    h.Emulator(true);
    h.os.clock.Set(2000, 8, 5, 23, 59, 30);
    h.form.Timer1_Timer();
    h.os.clock.Set(2000, 8, 6, 0, 0, 10);  // Sunday
    h.form.Timer1_Timer();
    EXPECT_EQ(h.SlotCounts(), (std::vector<std::string>{"0", "0", "0", "0", "0", "0", "1", "1"}));
    EXPECT_EQ(h.SlotMinutes()[0], "1/0h 1m");
    EXPECT_EQ(h.SlotMinutes()[6], "0/0h 0m");
    EXPECT_EQ(h.SlotMinutes()[7], "1/0h 1m");
}

TEST_F(TickTest, ClockChanges) {
    h.TickAt(10, 0, 45);
    h.TickAt(9, 0, 45);  // set back an hour: nothing until 10:01 again
    EXPECT_EQ(h.form.lastTickTime, (LocalDateTime{2000, 8, 2, 10, 0, 15}));
    h.TickAt(10, 0, 59);
    EXPECT_EQ(h.SlotMinutes()[7], "0/0h 0m");
    h.TickAt(10, 1, 0);
    EXPECT_EQ(h.SlotMinutes()[7], "1/0h 1m");
    h.TickAt(12, 1, 30);  // forward two hours
    EXPECT_EQ(h.SlotMinutes()[7], "121/2h 1m");
    EXPECT_EQ(Run(), "Aug 02, 2000 10:00:45 - 2h 1m");
}

TEST_F(TickTest, AGapBeyondSixteenBitsOfMinutesIsNotCreditedAndCountingGoesOnFromNow) {
    h.TickAt(10, 0, 45);
    h.os.clock.Set(2000, 8, 25, 10, 0, 45);  // 33120 minutes later
    h.form.Timer1_Timer();
    EXPECT_EQ(h.SlotMinutes()[7], "0/0h 0m");
    EXPECT_EQ(h.form.lastTickTime, h.os.clock.now);
    h.os.clock.Advance(60);
    h.form.Timer1_Timer();
    EXPECT_EQ(h.SlotMinutes()[7], "1/0h 1m");

    h.os.clock.Set(2000, 7, 1, 10, 0, 0);  // more than 32768 minutes back
    h.form.Timer1_Timer();
    h.os.clock.Advance(60);
    h.form.Timer1_Timer();
    EXPECT_EQ(h.SlotMinutes()[7], "2/0h 2m");
}

TEST_F(TickTest, TheRunsListKeepsAtMostThreeHundredAndOneLines) {
    auto startRunWith = [&](int lines) {
        while (h.form.lstTimes.Count() < lines) h.form.lstTimes.Append("old " + std::to_string(h.form.lstTimes.Count()));
        h.form.emulatorRunning = false;
        h.form.Timer1_Timer();
    };
    startRunWith(300);
    EXPECT_EQ(h.form.lstTimes.Count(), 301);
    EXPECT_EQ(h.form.lstTimes.Line(300), "old 299");
    startRunWith(301);
    EXPECT_EQ(h.form.lstTimes.Count(), 301);
    EXPECT_EQ(h.form.lstTimes.Line(300), "old 298");
    startRunWith(305);
    EXPECT_EQ(h.form.lstTimes.Count(), 305);
}

TEST_F(TickTest, RefreshesTheCurrentGamesLineOnlyWhileThereIsOne) {
    for (const char* line : {"A", "B", "C"}) h.form.lstGames.Append(line);
    h.form.currentEntry = "SLUS-00594\t3 \tAug 02, 2000 10:00:00";
    h.form.currentIndex = 2;
    h.TickAt(10, 1, 15);
    EXPECT_EQ(h.form.lstGames.Line(2), "SLUS-00594\t3 \tAug 02, 2000 10:00:00 - 0h 1m");
    h.form.currentIndex = -1;
    h.form.lstGames.Replace(2, "C");
    h.TickAt(10, 2, 15);
    EXPECT_EQ(h.form.lstGames.Lines(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(TickTest, AStoppedEmulatorEndsTheRunAndKeepsTheTexts) {
    h.TickAt(10, 1, 15);
    h.form.currentEntry = "X";
    h.form.currentIndex = 0;
    h.Emulator(false);
    h.TickAt(10, 3, 0);
    EXPECT_FALSE(h.form.emulatorRunning);
    EXPECT_EQ(h.form.runMinutes, 0);
    EXPECT_EQ(h.form.gameMinutes, 0);
    EXPECT_EQ(h.form.currentIndex, -1);
    EXPECT_EQ(h.form.currentEntry, "");
    EXPECT_EQ(h.form.lastTickTime, (LocalDateTime{2000, 8, 2, 10, 3, 0}));
    EXPECT_EQ(Run(), "Aug 02, 2000 10:01:15 - 0h 1m");
    EXPECT_EQ(h.SlotCounts()[7], "1");
}

TEST_F(TickTest, TheDiscsAreProbedOnEveryTick) {
    h.form.cdDrives = {"D:"};
    h.form.driveStates.resize(1);
    h.Emulator(false);
    h.TickAt(10, 0, 45);
    h.Emulator(true);
    h.TickAt(10, 1, 15);
    EXPECT_EQ(Count(h.os.log, "mciSendStringA status"), 2);
}

TEST_F(TickTest, TextsThatAreNotNumbersAndCountersAtTheirLimits) {
    h.form.lblTimes[3].SetCaption("lots");
    h.form.lblTime[7].SetTag("9e12");
    h.form.runMinutes = 2147483647;
    h.TickAt(10, 1, 15);
    EXPECT_EQ(h.SlotCounts()[3], "1");  // taken as 0
    EXPECT_EQ(h.SlotMinutes()[7], "9000000000001/35791394h 7m");
    EXPECT_EQ(h.form.runMinutes, 2147483647);
}

TEST_F(TickTest, SavesAfterEveryTickThatChangedTheModelAndOnlyThen) {
    h.Emulator(false);
    h.TickAt(10, 0, 45);
    EXPECT_EQ(h.os.files.writes, 0);  // idle: nothing written
    h.Emulator(true);
    h.TickAt(10, 1, 15);
    EXPECT_EQ(h.os.files.writes, 1);
    h.TickAt(10, 1, 45);
    EXPECT_EQ(h.os.files.writes, 1);  // nothing new
    h.TickAt(10, 2, 15);
    EXPECT_EQ(h.os.files.writes, 2);
    EXPECT_NE(h.Stats().find("\"Aug 02, 2000 10:01:15 - 0h 2m\""), std::string::npos);
}

}  // namespace
}  // namespace kavri::test
