// Time away from the game: pads, keyboard and mouse watched about once a second while the
// emulator runs, minutes held back after the last sign of a player, counted when one comes back
// within the idle limit or the emulator ends, dropped from every figure when the limit is reached.
#include "idle/idle_options.h"
#include "idle/pad_watch.h"
#include "stats/duration.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

constexpr int kTotal = 7;
constexpr std::uint16_t kButtonA = 0x1000;  // XINPUT_GAMEPAD_A
const std::string kOptionsPath = kAppDir + "\\kvroptions.csv";

int SlotMinutes(const Harness& h, int slot) { return std::stoi(h.form.lblTime[slot].Tag()); }

// The diary's minutes on a day, of one game when it is named.
int DiaryMinutes(const Harness& h, std::int64_t day, const std::string& game = "") {
    const auto found = h.form.diary.Days().find(day);
    if (found == h.form.diary.Days().end()) return 0;
    if (game.empty()) return found->second.minutes;
    for (const auto& [id, minutes] : found->second.games)
        if (id == game) return minutes;
    return 0;
}

// Plays a minute for each character, a second at a time, the pad timer running while the form
// asks for it and a tick every 30 seconds, at tickAt and 30 after: "P" the pad's buttons change, "K"
// a key is pressed, "S" a stick is pushed past its dead zone, "T" a trigger pulled, in the minute's
// first second, "p" the buttons change at its 20th; "D" a worn stick drifts inside its dead zone
// all minute; "x" the pad is unplugged; "c" the disc is changed for another game, back at the 31st
// second; "e" the emulator ends and the pad is pressed in its first second; "<" the user lowers the
// idle limit to 2 minutes in Options, ">" raises it to 30, "o" turns the option off; "X" Exit; "-"
// nothing; "s" the computer sleeps an hour at its first second. Then the emulator ends.
void Play(Harness& h, const std::string& minutes, int tickAt = 0) {
    auto& pad = h.os.input.pads[0];
    for (const char minute : minutes) {
        for (int second = 1; second <= 60; ++second) {
            h.os.clock.Advance(1);
            h.os.input.steadyMs += 1000;
            if (second == 1 && minute == 'x') pad.reset();
            if (pad && second == (minute == 'p' ? 20 : 1) && (minute == 'P' || minute == 'p' || minute == 'e'))
                pad->buttons ^= kButtonA;
            if (pad && second == 1 && minute == 'S') pad->leftX = 20000;
            if (pad && second == 1 && minute == 'T') pad->rightTrigger = 200;
            if (pad && second == 2) *pad = PadReading{pad->buttons};
            if (pad && minute == 'D') pad->leftX = static_cast<std::int16_t>(second % 2 ? 7000 : -7000);
            if (second == 1 && minute == 'K') ++h.os.input.lastKeyboard;
            if (second == 1 && minute == 's') h.os.clock.Sleep(3600);
            if (second == 1 && minute == 'e') h.Emulator(false);
            if (minute == 'c' && second == 1) h.os.multimedia.Eject("D:");
            if (minute == 'c' && second == 1) h.os.files.Put("D:\\system.cnf", "BOOT = cdrom:\\SLES_123.45;1\r\n");
            if (minute == 'c' && second == 31) h.os.multimedia.Insert("D:");
            if (second == 1 && minute == 'X') return h.form.mnuExit_Click();
            if (second == 1 && (minute == '<' || minute == '>' || minute == 'o')) {
                h.os.windowing.optionsChosen.push_back(IdleOptions{minute != 'o', minute == '>' ? 30 : 2});
                h.form.btnOptions_Click();
            }
            if (h.form.PadTimer.enabled) h.form.PadTimer_Timer();
            if (second % 30 == tickAt) h.form.Timer1_Timer();
        }
    }
    h.Emulator(false);
    h.form.Timer1_Timer();
}

// A started window with a game disc in D: and the emulator about to run, the idle option set.
void Start(Harness& h, std::optional<IdleOptions> options) {
    h.os.clock.Set(2000, 8, 2, 14, 5, 0);  // a Wednesday
    h.os.input.pads[0] = PadReading{};
    h.GameDisc();
    h.form.Form_Load();
    if (options) {
        h.os.windowing.optionsChosen.push_back(options);
        h.form.btnOptions_Click();
    }
    h.Emulator(true);
}

TEST(TimeAway, WhatCountsAndWhatIsDropped) {
    const struct {
        const char* what;
        int limit;
        std::string minutes;
        int counted;
        int tickAt = 0;
        int firstGame = -1;  // the minutes of the first game's play and total, when not all of them
        bool xinput = true, otherController = false;
    } rows[] = {
        {"a pad pressed every minute: all counted", 10, "PPPPP", 5},
        {"a pause shorter than the limit, then a press: all counted", 10, "P-----P", 7},
        {"a pause of the limit or more: the span dropped", 2, "PP---PP", 3},
        {"a pause exactly the limit long: dropped", 2, "PP-P", 2},
        {"the limit passed between two ticks, then a press: the pause dropped", 2, "PP-p", 2},
        {"a tick after the returning press brings a minute of the dropped pause", 2, "PP---P", 1, 15},
        {"the limit at its least", 2, "P-P--P", 3},
        {"the limit at its most", 60, "P" + std::string(58, '-') + "P", 60},
        {"the limit at its most, reached", 60, "P" + std::string(61, '-') + "P", 1},
        {"a stick past its dead zone and a trigger count", 2, "STSTS", 5},
        {"the keyboard alone counts", 2, "KKKKK", 5},
        {"one key, then away past the limit", 2, "-K---", 1},
        {"a worn stick's drift alone is idle", 2, "PDDDDD", 0},
        {"the emulator ending within the limit: the pause counts", 10, "P---", 4},
        {"an hour asleep within a short pause, a press on waking: as without the sleep", 10, "PP--sPP", 7},
        {"an hour asleep after play, a press on waking", 10, "PPPsPP", 6},
        {"an hour asleep within a short pause, the emulator ending on waking", 10, "PP--s", 5},
        {"Exit within the limit: the pause counts", 10, "PP---X", 5},
        {"the emulator gone after its last tick, the limit passed since: judged at that tick", 2, "PP-e", 3},
        {"an unplugged pad is idle", 2, "Pxxxx", 0},
        {"the limit lowered mid-pause: judged by the new one", 10, "P<---P", 1},
        {"the limit raised mid-pause: judged by the new one", 2, "P>----P", 7},
        {"the limit raised after the pause was dropped: all of it stays dropped", 2, "PP----->P", 1, 15},
        {"turned off mid-pause: what was held counts then, before it is on again", 10, "PP--o<", 6},
        {"turned on mid-run: the limit chosen judges from then", 30, "o-<-----", 2},
        {"held minutes of a game whose disc went out reach its line", 10, "PP-c-P", 6, 0, 3},
        {"no XInput: counted as before", 2, "-----", 5, 0, -1, false},
        {"a controller XInput cannot read beside an idle pad: counted as before", 2, "-----", 5, 0, -1, true, true},
    };
    for (const auto& row : rows) {
        Harness h;
        h.os.input.xinput = row.xinput;
        if (row.otherController) h.os.input.controllers = {"\\\\?\\HID#VID_045E&PID_028E&IG_00", "\\\\?\\HID#VID_054C&PID_05C4"};
        Start(h, IdleOptions{true, row.limit});
        Play(h, row.minutes, row.tickAt);
        const int game = row.firstGame < 0 ? row.counted : row.firstGame;
        EXPECT_EQ(SlotMinutes(h, kTotal), row.counted) << row.what;
        EXPECT_EQ(SlotMinutes(h, 3), row.counted) << row.what;  // Wednesday
        EXPECT_EQ(h.form.lblTimes[kTotal].Caption(), "1") << row.what;  // a run whose minutes were idle is a run
        const GameTotal* total = h.form.gameTotals.Find("SLUS-00594");
        EXPECT_EQ(total ? total->minutes : 0, game) << row.what;
        EXPECT_EQ(TotalFromGamesLine(h.form.lstGames.Line(0)).minutes, game) << row.what << ": " << h.form.lstGames.Line(0);
        EXPECT_EQ(DiaryMinutes(h, h.form.Today()), row.counted) << row.what;
        EXPECT_EQ(DiaryMinutes(h, h.form.Today(), "SLUS-00594"), game) << row.what;
        EXPECT_NE(h.form.lstTimes.Line(0).find(" - " + FormatDuration(row.counted)), std::string::npos)
            << row.what << ": " << h.form.lstTimes.Line(0);
        EXPECT_EQ(h.form.ModelRevision(), h.form.statsFile.savedRevision) << row.what;  // and saved
    }
}

TEST(TimeAway, MinutesGoToTheDayTheyWereCrossedOn) {
    // 23:58 on a Wednesday: the minute ending 23:59 is Wednesday's; the one ending at midnight is
    // crossed by a tick on Thursday, as every tick's minutes go to its own day.
    const struct {
        const char* what;
        int limit;
        std::string minutes;
        int wednesday, thursday;
    } rows[] = {
        {"a pause across midnight, ended by a press", 10, "P---P", 1, 4},
        {"a pause across midnight that reaches the limit", 2, "P----", 0, 0},
    };
    for (const auto& row : rows) {
        Harness h;
        Start(h, IdleOptions{true, row.limit});
        h.os.clock.Set(2000, 8, 2, 23, 58, 0);
        h.form.Timer1_Timer();
        h.form.lblTime[3].SetTag("0"), h.form.lblTime[4].SetTag("0");
        Play(h, row.minutes);
        EXPECT_EQ(SlotMinutes(h, 3), row.wednesday) << row.what;
        EXPECT_EQ(SlotMinutes(h, 4), row.thursday) << row.what;
        EXPECT_EQ(DiaryMinutes(h, DaysFromCivil(2000, 8, 3)), row.thursday) << row.what;
    }
}

TEST(TimeAway, OffLeavesEveryFileAsItWas) {
    Harness off, never;
    Start(off, IdleOptions{false, 10});
    Start(never, std::nullopt);
    for (Harness* h : {&off, &never}) {
        Play(*h, "P-----");
        h->form.btnRefresh_Click();
    }
    for (const char* file : {"\\kvrstat.csv", "\\kvrgames.csv", "\\kvrdiary.csv"})
        EXPECT_EQ(off.os.files.Get(kAppDir + file), never.os.files.Get(kAppDir + file)) << file;
    EXPECT_EQ(SlotMinutes(off, kTotal), 6);
    EXPECT_FALSE(never.os.files.Has(kOptionsPath));  // nothing chosen, nothing written
    EXPECT_EQ(Count(never.os.log, "WriteWholeFile " + kOptionsPath), 0);
}

TEST(TimeAway, TheOptionsFile) {
    const std::string header = "\"KavriStat options\",1\r\n";
    const struct {
        const char* what;
        std::string bytes;
        IdleOptions loaded;
        bool told;
    } rows[] = {
        {"on", header + "\"idle\",\"on\",\"2\"\r\n", {true, 2}, false},
        {"off", header + "\"idle\",\"off\",\"60\"\r\n", {false, 60}, false},
        {"a limit out of range", header + "\"idle\",\"on\",\"61\"\r\n", {false, 10}, true},
        {"a limit of 1", header + "\"idle\",\"on\",\"1\"\r\n", {false, 10}, true},
        {"damaged", header + "\"idle\",\"maybe\",\"5\"\r\n", {false, 10}, true},
        {"cut short", header + "\"idle\",\"on\"", {false, 10}, true},
        {"content after the idle line", header + "\"idle\",\"on\",\"5\"\r\n\"pads\",\"on\"\r\n", {false, 10}, true},
        {"from a newer version", "\"KavriStat options\",2\r\n\"idle\",\"on\",\"5\",\"pads\"\r\n", {false, 10}, true},
        {"from a newer version, three fields", "\"KavriStat options\",2\r\n\"idle\",\"on\",\"5\"\r\n", {false, 10}, true},
    };
    for (const auto& row : rows) {
        Harness h;
        h.os.files.Put(kOptionsPath, row.bytes);
        h.form.Form_Load();
        EXPECT_EQ(h.form.idle.Options(), row.loaded) << row.what;
        const bool told = !h.os.shell.balloons.empty() &&
                          h.os.shell.balloons[0].text.starts_with(kOptionsPath + " is damaged or from a newer KavriStat");
        EXPECT_EQ(told, row.told) << row.what;
        EXPECT_EQ(h.os.files.Get(kOptionsPath), row.bytes) << row.what;  // left untouched
        // A choice in the dialog is saved at once, the same as the fallback too, over a damaged
        // file kept beside first; a newer one is never replaced.
        h.os.windowing.optionsChosen.push_back(row.told ? IdleOptions{false, 10} : IdleOptions{true, 7});
        h.form.btnOptions_Click();
        const bool newer = row.bytes.find(",2\r\n") != std::string::npos;
        EXPECT_EQ(h.os.files.Get(kOptionsPath), newer      ? row.bytes
                                                 : row.told ? header + "\"idle\",\"off\",\"10\"\r\n"
                                                            : header + "\"idle\",\"on\",\"7\"\r\n") << row.what;
        EXPECT_EQ(h.os.files.Has(kAppDir + "\\kvroptions.bak"), row.told && !newer) << row.what;
    }
    // A rewrite cut short is loaded from its copy and written back at once; a file locked at start
    // is read again for a choice, the user told while it stays locked and the choice saved after.
    const std::string fresh = header + "\"idle\",\"on\",\"12\"\r\n", old = header + "\"idle\",\"off\",\"9\"\r\n";
    Harness torn, held;
    torn.os.files.Put(kOptionsPath, old);
    torn.os.files.Put(torn.form.RecoveryPath(kOptionsPath), "\"KavriStat recovery\",1,41,41\r\n" + fresh + old);
    torn.form.Form_Load();
    EXPECT_EQ(torn.form.idle.Options(), (IdleOptions{true, 12}));
    EXPECT_EQ(torn.os.files.Get(kOptionsPath), fresh);
    EXPECT_FALSE(torn.os.files.Has(torn.form.RecoveryPath(kOptionsPath)));
    held.os.files.Put(kOptionsPath, old);
    held.os.files.locked.insert(kOptionsPath);
    held.form.Form_Load();
    // Off, the dialog gives its limit back unchecked: one out of range keeps the one in force.
    held.os.windowing.optionsChosen = {IdleOptions{true, 1}, IdleOptions{true, 61}, IdleOptions{true, 7},
                                       IdleOptions{false, 1}};
    for (int i = 0; i < 4; ++i) held.form.btnOptions_Click();
    EXPECT_EQ(held.os.windowing.refusals, std::vector<std::string>(2, "The limit is a whole number of minutes from 2 to 60."));
    EXPECT_NE(held.os.shell.balloons.back().text.find(kOptionsPath + ". Close it in the other program"), std::string::npos);
    held.os.files.locked.clear();
    held.form.Timer1_Timer();
    EXPECT_EQ(held.os.files.Get(kOptionsPath), header + "\"idle\",\"off\",\"7\"\r\n");
    // Locked at start with no choice taken: read at the first tick it is free, mid-run.
    Harness freed;
    freed.os.files.Put(kOptionsPath, header + "\"idle\",\"on\",\"2\"\r\n");
    freed.os.files.locked.insert(kOptionsPath);
    Start(freed, std::nullopt);
    freed.form.Timer1_Timer();
    freed.os.files.locked.clear();
    Play(freed, "-P-----");
    EXPECT_EQ(freed.form.idle.Options(), (IdleOptions{true, 2}));
    EXPECT_EQ(SlotMinutes(freed, kTotal), 1);
    // Cancel changes nothing; the dialog says why idle time cannot be measured, if it cannot,
    // during a run with the option off too.
    const std::string xinputPad = "\\\\?\\HID#VID_045E&PID_028E&ig_00#8&1", otherPad = "\\\\?\\HID#VID_054C&PID_05C4#7&2";
    const struct {
        bool xinput;
        std::vector<std::string> controllers;
        const char* reason;
    } cases[] = {
        {false, {}, "Idle time is not measured: Windows has no XInput here to read game pads."},
        {true, {xinputPad, otherPad}, "Idle time is not measured: a controller is connected that only the game can read."},
        {true, {xinputPad}, ""},
        {true, {}, ""},
    };
    for (const auto& c : cases) {
        Harness h;
        h.os.input.xinput = c.xinput;
        h.os.input.controllers = c.controllers;
        h.os.input.pads[0] = PadReading{};
        h.Emulator(true);
        h.form.Form_Load();
        h.form.btnOptions_Click();
        EXPECT_FALSE(h.os.files.Has(kOptionsPath));
        EXPECT_EQ(h.os.windowing.blindReasons.back(), c.reason);
    }
}

// Each stick against its own dead zone, every axis, both triggers.
TEST(TimeAway, WhatAPadReadingShows) {
    const struct {
        PadReading now;
        bool hand;
    } rows[] = {
        {{kButtonA}, true},           {{0, 7849}, false},         {{0, 7850}, true},
        {{0, 0, -7850}, true},        {{0, 0, 8000}, true},       {{0, 0, 0, 8000}, false},
        {{0, 0, 0, 8689}, false},     {{0, 0, 0, 8690}, true},    {{0, 0, 0, 0, -8690}, true},
        {{0, 0, 0, 0, 0, 30}, false}, {{0, 0, 0, 0, 0, 31}, true}, {{0, 0, 0, 0, 0, 0, 31}, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ShowsAHand(PadReading{}, row.now), row.hand)
            << row.now.leftX << " " << row.now.leftY << " " << row.now.rightX << " " << row.now.rightY << " "
            << int(row.now.leftTrigger) << " " << int(row.now.rightTrigger);
}

TEST(TimeAway, EmptySlotsAreAskedEveryTenSecondsOrAfterADeviceChange) {
    Harness h;
    Start(h, IdleOptions{true, 10});
    h.os.input.pads = {std::nullopt, PadReading{}, std::nullopt, std::nullopt};
    h.form.Timer1_Timer();  // the run is seen: the pad timer starts
    for (int second = 0; second <= 20; ++second, h.os.input.steadyMs += 1000) h.form.PadTimer_Timer();
    EXPECT_EQ(h.os.input.slotReads, (std::array<int, 4>{3, 21, 3, 3}));  // at 0, 10 and 20 seconds
    h.form.DevicesChanged();
    h.form.PadTimer_Timer();
    EXPECT_EQ(h.os.input.slotReads, (std::array<int, 4>{4, 22, 4, 4}));
}

}  // namespace
}  // namespace kavri::test
