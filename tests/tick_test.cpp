#include <sstream>

#include "stats/duration.h"
#include "stats/number_text.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

// One tick: the day of August 2000 (2 is a Wednesday, slot 3; 0 and below reach back into July,
// 32 is September 1), the local time, whether the emulator runs, how long the computer slept
// before it, and the local time's offset from UTC in minutes.
struct Step {
    int day, hour, minute, second;
    bool running;
    int asleepSeconds = 0;
    int utcOffset = 0;
};

std::string Joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) out += (out.empty() ? "" : " ") + t;
    return out;
}

// Runs the ticks, with a current game from the first tick on, and answers the slots' run counts
// and minutes, line 0 of the runs list and the game's line.
std::string Play(Harness& h, const std::vector<Step>& steps) {
    h.form.cdDrives = {"D:"};
    h.form.driveStates.resize(1);
    for (const Step& s : steps) {
        h.os.clock.asleepMs += s.asleepSeconds * 1000ULL;
        h.os.clock.utcOffsetMinutes = s.utcOffset;
        h.os.clock.Set(2000, 8, 1, s.hour, s.minute, s.second);
        h.os.clock.Advance((s.day - 1) * 86400LL);
        h.Emulator(s.running);
        h.form.Timer1_Timer();
        if (h.form.lstGames.Count() == 0) {  // a game in a drive the empty D: does not end
            h.form.lstGames.Append(h.form.currentEntry = "G");
            h.form.currentIndex = 0;
            h.form.gameDrive = "E:";
        }
    }
    std::vector<std::string> minutes;
    for (const Label& l : h.form.lblTime) {
        EXPECT_EQ(l.Caption(), FormatDuration(TextAsInt32(l.Tag()).value_or(0)));
        minutes.push_back(l.Tag());
    }
    const std::string run = h.form.lstTimes.Count() ? h.form.lstTimes.Line(0) : "";
    return Joined(h.SlotCounts()) + " | " + Joined(minutes) + " | " + run + " | " + h.form.lstGames.Line(0);
}

TEST(Tick, CountsRunsAndCreditsEachMinuteBoundaryOnceToTheDayOfItsTick) {
    const struct {
        const char* what;
        std::vector<Step> steps;
        const char* result;
    } scenarios[] = {
        {"a run counted once, each boundary credited once",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 10, 1, 15, true}, {2, 10, 1, 45, true}, {2, 10, 2, 15, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 2 0 0 0 2 | Aug 02, 2000 10:00:45 - 0h 2m | G - 0h 2m"},
        {"the first tick of a run may credit a minute",
         {{2, 10, 0, 50, false}, {2, 10, 1, 20, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 1 0 0 0 1 | Aug 02, 2000 10:01:20 - 0h 1m | G - 0h 1m"},
        {"minutes go to the day of the tick that credits them",
         {{5, 23, 59, 10, false}, {5, 23, 59, 30, true}, {6, 0, 0, 10, true}},
         "0 0 0 0 0 0 1 1 | 1 0 0 0 0 0 0 1 | Aug 05, 2000 23:59:30 - 0h 1m | G - 0h 1m"},
        {"the emulator stops: texts stay; the next run starts from nothing",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 10, 1, 15, true}, {2, 10, 3, 0, false}, {2, 10, 3, 30, true}},
         "0 0 0 2 0 0 0 2 | 0 0 0 1 0 0 0 1 | Aug 02, 2000 10:03:30 - 0h 0m | G - 0h 1m"},
        {"the clock set back: nothing until it passes the old minute again",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 9, 0, 45, true}, {2, 10, 0, 59, true}, {2, 10, 1, 0, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 1 0 0 0 1 | Aug 02, 2000 10:00:45 - 0h 1m | G - 0h 1m"},
        {"the clock set forward two hours: credited at once",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 12, 1, 30, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 121 0 0 0 121 | Aug 02, 2000 10:00:45 - 2h 1m | G - 2h 1m"},
        {"a gap beyond 16 bits of minutes credits nothing and counts on from then",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {25, 10, 0, 45, true}, {25, 10, 1, 45, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 0 0 1 0 1 | Aug 02, 2000 10:00:45 - 0h 1m | G - 0h 1m"},
        {"so does a gap that far back",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {-30, 10, 0, 0, true}, {-30, 10, 1, 0, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 0 0 0 1 1 | Aug 02, 2000 10:00:45 - 0h 1m | G - 0h 1m"},
        // Time asleep is not play: its whole minutes come off, within one minute either way.
        {"10 minutes, 2 minutes asleep, 10 more",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 10, 10, 50, true}, {2, 10, 12, 55, true, 120}, {2, 10, 22, 55, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 20 0 0 0 20 | Aug 02, 2000 10:00:45 - 0h 20m | G - 0h 20m"},
        {"10 minutes, 8 hours asleep, 10 more",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 10, 10, 50, true}, {2, 18, 11, 5, true, 28815}, {2, 18, 21, 5, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 21 0 0 0 21 | Aug 02, 2000 10:00:45 - 0h 21m | G - 0h 21m"},
        {"10 minutes, 30 days asleep, 10 more on a Friday",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 10, 10, 50, true}, {32, 10, 10, 55, true, 2592000}, {32, 10, 20, 55, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 10 0 10 0 20 | Aug 02, 2000 10:00:45 - 0h 20m | G - 0h 20m"},
        {"asleep across midnight: minutes to the days awake",
         {{2, 23, 50, 15, false}, {2, 23, 50, 45, true}, {2, 23, 55, 50, true}, {3, 7, 55, 55, true, 28800}, {3, 8, 5, 55, true}},
         "0 0 0 1 0 0 0 1 | 0 0 0 5 10 0 0 15 | Aug 02, 2000 23:50:45 - 0h 15m | G - 0h 15m"},
        {"asleep while the emulator is stopped: nothing changes",
         {{2, 10, 0, 15, false}, {2, 18, 0, 15, false, 28800}}, "0 0 0 0 0 0 0 0 | 0 0 0 0 0 0 0 0 |  | G"},
        // Daylight saving and time zones move the local clock, not the time played.
        {"daylight saving begins: a 30-second tick across it credits 1 minute",
         {{2, 1, 59, 15, false, 0, 60}, {2, 1, 59, 45, true, 0, 60}, {2, 3, 0, 15, true, 0, 120}, {2, 3, 0, 45, true, 0, 120}},
         "0 0 0 1 0 0 0 1 | 0 0 0 1 0 0 0 1 | Aug 02, 2000 01:59:45 - 0h 1m | G - 0h 1m"},
        {"daylight saving ends: the repeated hour is counted minute by minute",
         {{2, 2, 58, 15, false, 0, 120}, {2, 2, 58, 45, true, 0, 120}, {2, 2, 59, 45, true, 0, 120},
          {2, 2, 0, 15, true, 0, 60}, {2, 2, 1, 15, true, 0, 60}, {2, 2, 2, 15, true, 0, 60}},
         "0 0 0 1 0 0 0 1 | 0 0 0 4 0 0 0 4 | Aug 02, 2000 02:58:45 - 0h 4m | G - 0h 4m"},
        {"a time zone 9 hours east, then 5 hours west of UTC",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 19, 1, 15, true, 0, 540}, {2, 5, 2, 15, true, 0, -300}},
         "0 0 0 1 0 0 0 1 | 0 0 0 2 0 0 0 2 | Aug 02, 2000 10:00:45 - 0h 2m | G - 0h 2m"},
        {"across midnight with an offset change: to the local day of the tick",
         {{2, 23, 59, 15, false}, {2, 23, 59, 45, true}, {3, 1, 0, 15, true, 0, 60}},
         "0 0 0 1 0 0 0 1 | 0 0 0 0 1 0 0 1 | Aug 02, 2000 23:59:45 - 0h 1m | G - 0h 1m"},
        {"a sleep under a minute: the boundaries crossed, as awake",
         {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 10, 1, 50, true, 50}},
         "0 0 0 1 0 0 0 1 | 0 0 0 1 0 0 0 1 | Aug 02, 2000 10:00:45 - 0h 1m | G - 0h 1m"},
    };
    for (const auto& s : scenarios) {
        Harness h;
        EXPECT_EQ(Play(h, s.steps), s.result) << s.what;
        EXPECT_EQ(Count(h.os.log, "mciSendStringA status"), static_cast<int>(s.steps.size())) << s.what;
    }
}

TEST(Tick, AStoppedEmulatorEndsTheRunAndTheGame) {
    Harness h;
    h.form.currentEntry = "X";
    h.form.currentIndex = 0;
    h.form.gameMinutes = 3;
    Play(h, {{2, 10, 0, 15, false}, {2, 10, 0, 45, true}, {2, 10, 1, 15, true}, {2, 10, 3, 0, false}});
    EXPECT_FALSE(h.form.emulatorRunning);
    EXPECT_EQ(h.form.runMinutes + h.form.gameMinutes, 0);
    EXPECT_EQ(h.form.currentIndex, -1);
    EXPECT_EQ(h.form.currentEntry, "");
}

// The rest of the tick's tests start at Wednesday 10:00:15 with the emulator not running.
struct TickTest : ::testing::Test {
    Harness h;
    void SetUp() override {
        h.Emulator(false);
        h.os.clock.Set(2000, 8, 2, 10, 0, 15);
        h.form.Timer1_Timer();
        h.Emulator(true);
    }
};

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

TEST_F(TickTest, TextsThatAreNotNumbersAndCountersAtTheirLimits) {
    h.form.lblTimes[3].SetCaption("lots");
    h.form.lblTime[7].SetTag("9e12");
    h.form.lblTimes[7].SetCaption("1e30");
    h.form.runMinutes = 2147483647;
    h.TickAt(10, 1, 15);
    EXPECT_EQ(h.form.Shares(SharePeriod::AllTime).total, "All time: 35791394h 7m in 2147483647 runs");
    EXPECT_EQ(h.SlotCounts()[3], "1");  // taken as 0
    EXPECT_EQ(h.SlotMinutes()[7], "9000000000001/35791394h 7m");
    EXPECT_EQ(h.form.runMinutes, 2147483647);
}

TEST_F(TickTest, SavesAfterEveryTickThatChangedTheModelAndOnlyThen) {
    const auto saves = [&] { return Count(h.os.log, "WriteWholeFile " + kStatsPath); };
    h.Emulator(false);
    h.TickAt(10, 0, 45);
    EXPECT_EQ(h.os.files.writes, 0);  // idle: nothing written
    h.Emulator(true);
    h.TickAt(10, 1, 15);
    EXPECT_EQ(saves(), 1);
    h.TickAt(10, 1, 45);
    EXPECT_EQ(saves(), 1);  // nothing new
    h.TickAt(10, 2, 15);
    EXPECT_EQ(saves(), 2);
    EXPECT_NE(h.Stats().find("\"Aug 02, 2000 10:01:15 - 0h 2m\""), std::string::npos);
}

}  // namespace
}  // namespace kavri::test
