// Time away from the game: pads, keyboard and mouse watched about once a second while the
// emulator runs, minutes held back after the last sign of a player, counted when one comes back
// within the idle limit or the emulator ends, dropped from every figure when the limit is reached.
#include "idle/idle_options.h"
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
// asks for it and a tick every 30 seconds: "P" the pad's buttons change, "K" a key is pressed, "S"
// a stick is pushed past its dead zone, "T" a trigger pulled, in the minute's first second; "D" a
// worn stick drifts inside its dead zone all minute; "x" the pad is unplugged; "<" the user lowers
// the idle limit to 2 minutes in Options, ">" raises it to 10; "-" nothing. Then the emulator ends.
void Play(Harness& h, const std::string& minutes) {
    auto& pad = h.os.input.pads[0];
    for (const char minute : minutes) {
        for (int second = 1; second <= 60; ++second) {
            h.os.clock.Advance(1);
            h.os.input.steadyMs += 1000;
            if (second == 1 && minute == 'x') pad.reset();
            if (pad && second == 1 && minute == 'P') pad->buttons ^= kButtonA;
            if (pad && second == 1 && minute == 'S') pad->leftX = 20000;
            if (pad && second == 1 && minute == 'T') pad->rightTrigger = 200;
            if (pad && second == 2) *pad = PadReading{pad->buttons};
            if (pad && minute == 'D') pad->leftX = static_cast<std::int16_t>(second % 2 ? 7000 : -7000);
            if (second == 1 && minute == 'K') ++h.os.input.lastKeyboard;
            if (second == 1 && (minute == '<' || minute == '>')) {
                h.os.windowing.optionsChosen.push_back(IdleOptions{true, minute == '<' ? 2 : 10});
                h.form.btnOptions_Click();
            }
            if (h.form.PadTimer.enabled) h.form.PadTimer_Timer();
            if (second % 30 == 0) h.form.Timer1_Timer();
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
        bool xinput = true, otherController = false;
    } rows[] = {
        {"a pad pressed every minute: all counted", 10, "PPPPP", 5},
        {"a pause shorter than the limit, then a press: all counted", 10, "P-----P", 7},
        {"a pause of the limit or more: the span dropped", 2, "PP---PP", 3},
        {"the limit at its least", 2, "P-P--P", 3},
        {"the limit at its most", 60, "P" + std::string(58, '-') + "P", 60},
        {"the limit at its most, reached", 60, "P" + std::string(61, '-') + "P", 1},
        {"a stick past its dead zone and a trigger count", 2, "STSTS", 5},
        {"the keyboard alone counts", 2, "KKKKK", 5},
        {"a worn stick's drift alone is idle", 2, "PDDDDD", 0},
        {"the emulator ending within the limit: the pause counts", 10, "P---", 4},
        {"an unplugged pad is idle", 2, "Pxxxx", 0},
        {"the limit lowered mid-pause: judged by the new one", 10, "P<---P", 1},
        {"the limit raised mid-pause: judged by the new one", 2, "P>----P", 7},
        {"no XInput: counted as before", 2, "-----", 5, false},
        {"a controller XInput cannot read: counted as before", 2, "-----", 5, true, true},
    };
    for (const auto& row : rows) {
        Harness h;
        h.os.input.xinput = row.xinput;
        h.os.input.controllerListed = row.otherController;
        Start(h, IdleOptions{true, row.limit});
        if (row.otherController) h.os.input.pads[0].reset();
        Play(h, row.minutes);
        EXPECT_EQ(SlotMinutes(h, kTotal), row.counted) << row.what;
        EXPECT_EQ(SlotMinutes(h, 3), row.counted) << row.what;  // Wednesday
        EXPECT_EQ(h.form.lblTimes[kTotal].Caption(), "1") << row.what;  // a run whose minutes were idle is a run
        const GameTotal* game = h.form.gameTotals.Find("SLUS-00594");
        EXPECT_EQ(game ? game->minutes : 0, row.counted) << row.what;
        EXPECT_EQ(DiaryMinutes(h, h.form.Today()), row.counted) << row.what;
        EXPECT_EQ(DiaryMinutes(h, h.form.Today(), "SLUS-00594"), row.counted) << row.what;
        EXPECT_NE(h.form.lstTimes.Line(0).find(" - " + FormatDuration(row.counted)), std::string::npos)
            << row.what << ": " << h.form.lstTimes.Line(0);
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
    const struct {
        const char* what;
        std::string bytes;
        IdleOptions loaded;
        bool told;
    } rows[] = {
        {"on", "\"KavriStat options\",1\r\n\"idle\",\"on\",\"2\"\r\n", {true, 2}, false},
        {"off", "\"KavriStat options\",1\r\n\"idle\",\"off\",\"60\"\r\n", {false, 60}, false},
        {"a limit out of range", "\"KavriStat options\",1\r\n\"idle\",\"on\",\"61\"\r\n", {}, true},
        {"damaged", "\"KavriStat options\",1\r\n\"idle\",\"maybe\",\"5\"\r\n", {}, true},
        {"cut short", "\"KavriStat options\",1\r\n\"idle\",\"on\"", {}, true},
        {"from a newer version", "\"KavriStat options\",2\r\n\"idle\",\"on\",\"5\",\"pads\"\r\n", {}, true},
    };
    for (const auto& row : rows) {
        Harness h;
        h.os.files.Put(kOptionsPath, row.bytes);
        h.form.Form_Load();
        EXPECT_EQ(h.form.idleOptions, row.loaded) << row.what;
        const bool told = !h.os.shell.balloons.empty() &&
                          h.os.shell.balloons[0].text.starts_with(kOptionsPath + " is damaged or from a newer KavriStat");
        EXPECT_EQ(told, row.told) << row.what;
        EXPECT_EQ(h.os.files.Get(kOptionsPath), row.bytes) << row.what;  // left untouched
        // A choice in the dialog is saved at once, over a damaged file kept beside first; a
        // newer one is never replaced.
        h.os.windowing.optionsChosen.push_back(IdleOptions{true, 7});
        h.form.btnOptions_Click();
        const bool newer = row.bytes.find(",2\r\n") != std::string::npos;
        EXPECT_EQ(h.os.files.Get(kOptionsPath),
                  newer ? row.bytes : std::string("\"KavriStat options\",1\r\n\"idle\",\"on\",\"7\"\r\n")) << row.what;
        EXPECT_EQ(h.os.files.Has(kAppDir + "\\kvroptions.bak"), row.told && !newer) << row.what;
    }
    // Cancel changes nothing; the dialog says why idle time cannot be measured, if it cannot.
    const struct {
        bool xinput, controllerListed, padConnected;
        const char* reason;
    } cases[] = {
        {false, false, false, "Idle time is not measured: Windows has no XInput here to read game pads."},
        {true, true, false, "Idle time is not measured: a controller is connected that only the game can read."},
        {true, true, true, ""},  // the controller listed is the XInput pad
        {true, false, false, ""},
    };
    for (const auto& c : cases) {
        Harness h;
        h.os.input.xinput = c.xinput;
        h.os.input.controllerListed = c.controllerListed;
        if (c.padConnected) h.os.input.pads[0] = PadReading{};
        h.form.Form_Load();
        h.form.btnOptions_Click();
        EXPECT_FALSE(h.os.files.Has(kOptionsPath));
        EXPECT_EQ(h.os.windowing.blindReasons.back(), c.reason);
    }
}

TEST(TimeAway, EmptySlotsAreAskedEveryTenSecondsOrAfterADeviceChange) {
    Harness h;
    Start(h, IdleOptions{true, 10});
    h.os.input.pads = {PadReading{}, std::nullopt, std::nullopt, std::nullopt};
    const auto asked = h.os.input.slotReads;  // by the Options dialog
    Play(h, "-");  // 30 polls while the run is seen: the tick at 30 s starts it
    EXPECT_EQ(h.os.input.slotReads[0] - asked[0], 30);
    EXPECT_LE(h.os.input.slotReads[1] - asked[1], 4);
    const int before = h.os.input.slotReads[2];
    h.Emulator(true);
    h.form.Timer1_Timer();
    h.form.DevicesChanged();
    h.form.PadTimer_Timer();
    EXPECT_EQ(h.os.input.slotReads[2], before + 1);
}

}  // namespace
}  // namespace kavri::test
