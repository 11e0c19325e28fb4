#include "stats/game_totals.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

const std::string kTotalsPath = kAppDir + "\\kvrgames.csv";
const std::string kHeader = "\"KavriStat games\",3\r\n";

// A window on the files of another, with the game disc in D: and the emulator as given.
struct Session {
    Harness h;
    Session(const Harness* before, bool running) {
        if (before)
            for (const std::string& path : {kStatsPath, kTotalsPath}) h.os.files.Put(path, before->os.files.Get(path));
        h.GameDisc();
        h.Emulator(running);
    }
    void Minutes(int n, long asleepSeconds = 0) {
        h.os.clock.Sleep(asleepSeconds);
        for (int i = 0; i < n; ++i) {
            h.os.clock.Advance(60);
            h.form.Timer1_Timer();
        }
    }
    std::string Totals() const { return h.os.files.Get(kTotalsPath); }
};

TEST(GameTotals, MinutesPlayedAddUpAcrossSessionsButNotAsleepOrStopped) {
    Session first(nullptr, true);
    first.h.os.clock.Set(2000, 8, 2, 10, 0, 15);
    first.h.form.Form_Load();  // a run, and the disc recorded
    first.Minutes(10);
    first.h.form.CloseRequested(2);
    EXPECT_EQ(first.Totals(), kHeader + "\"SLUS-00594\",\"10\",\"Aug 02, 2000 10:00:15\",\"Aug 02, 2000 10:00:15\",\"\",\"\"\r\n");

    Session second(&first.h, true);  // the next day: recorded again, played 5 minutes around 8 hours asleep
    second.h.os.clock.Set(2000, 8, 3, 9, 0, 15);
    second.h.form.Form_Load();
    second.Minutes(3);
    second.Minutes(2, 8 * 3600);
    second.h.form.CloseRequested(2);
    // 3 minutes, then 481 boundaries of which 480 asleep: 1, and 1 more.
    EXPECT_EQ(second.Totals(), kHeader + "\"SLUS-00594\",\"15\",\"Aug 02, 2000 10:00:15\",\"Aug 03, 2000 09:00:15\",\"\",\"\"\r\n");
    EXPECT_NE(second.h.Stats().find("SLUS-00594\t2 \tAug 03, 2000 09:00:15 - 0h 5m"), std::string::npos);

    Session stopped(&second.h, false);  // recorded while the emulator is stopped: no minutes, as its line
    stopped.h.os.clock.Set(2000, 8, 4, 9, 0, 15);
    stopped.h.form.Form_Load();
    stopped.Minutes(2);
    stopped.h.Emulator(true);
    stopped.Minutes(3);
    stopped.h.form.CloseRequested(2);
    EXPECT_EQ(stopped.Totals(), kHeader + "\"SLUS-00594\",\"15\",\"Aug 02, 2000 10:00:15\",\"Aug 04, 2000 09:00:15\",\"\",\"\"\r\n");
    EXPECT_EQ(stopped.h.form.GameTip(0), "SLUS-00594: 0h 15m in total over 3 plays, first played Aug 02, 2000");
}

TEST(GameTotals, AnExistingGamesListSeedsThemAndDeleteForgetsAGame) {
    Harness h;
    std::string stats = kFreshFile;
    stats.replace(stats.find("-1\r\n"), 4,
                  "2\r\n\"SCES-05678\t3 \tJul 30, 2000 10:14:00 - 1h 5m\"\r\n\"SLPS-01234\t1 \tAug 01, 2000 09:00:00\"\r\n"
                  "\"sces-05678\t9 \tduplicate - 9h 0m\"\r\n");  // letter case aside, the same game
    h.os.files.Put(kStatsPath, stats);
    h.form.Form_Load();
    EXPECT_EQ(h.os.files.Get(kTotalsPath), kHeader +
                                               "\"SCES-05678\",\"65\",\"Jul 30, 2000 10:14:00\",\"Jul 30, 2000 10:14:00\",\"\",\"\"\r\n"
                                               "\"SLPS-01234\",\"0\",\"Aug 01, 2000 09:00:00\",\"Aug 01, 2000 09:00:00\",\"\",\"\"\r\n");
    EXPECT_EQ(h.os.files.Get(kStatsPath), stats);  // the statistics file is not touched
    const int writes = h.os.files.writes;
    h.Emulator(true);
    h.form.Timer1_Timer();
    h.form.btnRefresh_Click();
    EXPECT_EQ(Count(h.os.log, "WriteWholeFile " + kTotalsPath), 1);  // nothing changed in the totals since
    EXPECT_GT(h.os.files.writes, writes);

    std::int16_t key = 46;  // Delete
    h.form.lstGames.Select(0);
    h.form.lstGames_KeyDown(key, 0);
    h.form.Timer1_Timer();
    EXPECT_EQ(h.os.files.Get(kTotalsPath),
              kHeader + "\"SLPS-01234\",\"0\",\"Aug 01, 2000 09:00:00\",\"Aug 01, 2000 09:00:00\",\"\",\"\"\r\n");
    EXPECT_EQ(h.form.GameTip(1), "sces-05678: 0h 0m in total over 9 plays");  // its total went with line 0
}

TEST(GameTotals, WhatTheFileYieldsInEachVersion) {
    const GameTotal slus{"SLUS-00594", 725, "Jul 30, 2000 10:14:00", "Aug 02, 2000 14:05:09", "Crystal Quest", NameFrom::Typed};
    const GameTotal unnamed{slus.id, slus.minutes, slus.firstPlayed, slus.lastPlayed, ""};
    GameTotal fromFile = slus;
    fromFile.nameFrom = NameFrom::File;
    const std::string fields = "\"SLUS-00594\",\"725\",\"Jul 30, 2000 10:14:00\",\"Aug 02, 2000 14:05:09\"";
    const std::string line = fields + ",\"Crystal Quest\",\"typed\"\r\n";
    const std::string version1 = "\"KavriStat games\",1\r\n", version2 = "\"KavriStat games\",2\r\n";
    const struct {
        std::string file;
        bool clean;
        bool newer;
        std::vector<GameTotal> games;
    } rows[] = {
        {kHeader + line, true, false, {slus}},
        {kHeader, true, false, {}},
        {"", false, false, {}},
        {version1 + fields + "\r\n", true, false, {unnamed}},
        {version1 + fields + ",\"Crystal Quest\"\r\n", false, false, {unnamed}},  // version 1 had no fifth field
        {version2 + fields + ",\"Crystal Quest\"\r\n", true, false, {slus}},  // version 2's names were typed
        {version2 + line, false, false, {slus}},  // nor a sixth
        {kHeader + fields + ",\"Crystal Quest\",\"file\"\r\n", true, false, {fromFile}},
        {kHeader + fields + ",\"Crystal Quest\",\"guessed\"\r\n", false, false, {slus}},  // the name kept as typed
        {kHeader + fields + "\r\n", false, false, {unnamed}},
        {"\"KavriStat games\",4\r\n" + fields + ",\"Crystal Quest\",\"typed\",\"later\"\r\n", true, true, {slus}},
        {"\"KavriStat games\",02\r\n" + line, false, false, {}},
        {kHeader + line + line, false, false, {slus}},
        {kHeader + line.substr(0, line.size() - 2), false, false, {slus}},
        {kHeader + "\"S\"x\",\"1\",\"\",\"\",\"\",\"\"\r\n", false, false, {{"S", 1, "", "", ""}}},
        {kHeader + "\"S\",\"+1\",\"\",\"\",\"\",\"\"\r\n\"T\",\"-4\",\"\",\"\",\"\",\"\"\r\n\"U\",\"1\",\"\"\r\n", false, false,
         {{"S", 1, "", "", ""}, {"T", 0, "", "", ""}}},
    };
    for (const auto& row : rows) {
        const TotalsContent c = ParseGameTotals(row.file);
        EXPECT_EQ(c.clean, row.clean) << row.file;
        EXPECT_EQ(c.newer, row.newer) << row.file;
        EXPECT_EQ(c.games, row.games) << row.file;
        GameTotals totals;
        totals.Assign(c.games);
        EXPECT_TRUE(!row.clean || !row.file.starts_with(kHeader) || FormatGameTotals(totals) == row.file) << row.file;
    }
}

// The same care as the statistics file: a file that cannot be read is never overwritten in the
// session, one that does not read cleanly is kept whole, failures are told and tried again.
TEST(GameTotals, FileFailuresLoseNothing) {
    const std::string damaged = kHeader + "\"SLUS-00594\",\"ten\",\"\",\"\",\"\"\r\n";
    const std::string backup = kAppDir + "\\kvrgames.bak";
    for (int failure = 0; failure < 3; ++failure) {
        Session s(nullptr, true);
        s.h.os.files.Put(kTotalsPath, damaged);
        if (failure == 0) s.h.os.files.locked.insert(kTotalsPath);
        if (failure == 1) s.h.os.files.unwritable.insert(backup);
        if (failure == 2) s.h.os.files.diskFull = true;
        s.h.form.Form_Load();
        s.Minutes(2);
        EXPECT_EQ(s.Totals(), damaged) << failure;
        EXPECT_EQ(s.h.os.shell.balloons.size(), 1u) << failure;
        s.h.os.files.locked.clear(), s.h.os.files.unwritable.clear(), s.h.os.files.diskFull = false;
        s.Minutes(1);
        EXPECT_EQ(s.Totals() == damaged, failure == 0) << failure;
        EXPECT_EQ(s.h.os.files.Get(backup), failure == 0 ? "" : damaged) << failure;
    }
}

}  // namespace
}  // namespace kavri::test
