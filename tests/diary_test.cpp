// The play diary: what the tick puts in it, what a runs list gives a user who had none, and its file.
#include "history/diary.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

const std::string kDiaryPath = kAppDir + "\\kvrdiary.csv";
const std::string kHeader = "\"KavriStat diary\",1\r\n";

// The diary file's lines after its header, joined with " | ".
std::string Lines(const std::string& file) {
    std::string out, rest = file.substr(std::min(file.size(), kHeader.size()));
    for (std::size_t end; (end = rest.find("\r\n")) != std::string::npos; rest.erase(0, end + 2))
        out += (out.empty() ? "" : " | ") + rest.substr(0, end);
    return out;
}

// Ticks from Wednesday Aug 2, 2000 on, with the emulator as each step says.
struct Tick {
    int day, hour, minute;
    bool running;
    int asleepSeconds = 0;
};

TEST(Diary, WhatEachTickPutsInIt) {
    const struct {
        const char* what;
        std::vector<Tick> ticks;
        const char* lines;
        bool disc = true;  // the game disc in D:
    } scenarios[] = {
        {"a run across midnight: each minute to the date of its tick, the run to its first",
         {{2, 23, 58, true}, {2, 23, 59, true}, {3, 0, 0, true}, {3, 0, 1, true}},
         "\"2000-08-02\",\"1\",\"1\",\"\" | \"2000-08-02\",\"1\",\"\",\"SLUS-00594\" | "
         "\"2000-08-03\",\"2\",\"0\",\"\" | \"2000-08-03\",\"2\",\"\",\"SLUS-00594\""},
        {"time asleep and a stopped emulator add nothing",
         {{2, 10, 0, true}, {2, 10, 2, true}, {2, 18, 3, true, 8 * 3600}, {2, 18, 9, false}, {2, 18, 20, false}},
         "\"2000-08-02\",\"3\",\"1\",\"\" | \"2000-08-02\",\"3\",\"\",\"SLUS-00594\""},
        {"a clock set forward past a whole day: the date holds 1440 minutes",
         {{2, 10, 0, true}, {3, 11, 0, true}, {3, 11, 1, true}},
         "\"2000-08-02\",\"0\",\"1\",\"\" | \"2000-08-03\",\"1440\",\"0\",\"\" | \"2000-08-03\",\"1440\",\"\",\"SLUS-00594\""},
        {"play without a disc counts for the date", {{2, 10, 0, true}, {2, 10, 10, true}},
         "\"2000-08-02\",\"10\",\"1\",\"\"", false},
    };
    for (const auto& s : scenarios) {
        Harness h;
        if (s.disc) h.GameDisc();
        h.os.files.Put(kDiaryPath, kHeader);
        for (const Tick& t : s.ticks) {
            h.os.clock.asleepMs += t.asleepSeconds * 1000ULL;
            h.os.clock.Set(2000, 8, t.day, t.hour, t.minute, 30);
            h.Emulator(t.running);
            if (&t == &s.ticks.front()) h.form.Form_Load();
            else h.form.Timer1_Timer();
        }
        EXPECT_EQ(Lines(h.os.files.Get(kDiaryPath)), s.lines) << s.what;
        // Since the diary began, a game's minutes in it are what its total gained, but for a capped date.
        const auto* total = h.form.gameTotals.Find("SLUS-00594");
        ASSERT_EQ(total != nullptr, s.disc);
        std::int32_t inDiary = 0;
        for (const auto& [day, entry] : h.form.diary.Days())
            for (const auto& game : entry.games) inDiary += game.second;
        EXPECT_EQ(inDiary == (total ? total->minutes : 0), std::string(s.what).find("1440") == std::string::npos) << s.what;
    }
}

TEST(Diary, BuiltFromTheRunsListForAUserWhoHadNone) {
    const std::vector<std::string> french = {"janv.", "févr.", "mars", "avr.", "mai", "juin",
                                             "juil.", "août", "sept.", "oct.", "nov.", "déc."};
    std::vector<std::string> months = french;
    for (const char* m : {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"})
        months.push_back(m);
    const struct {
        const char* what;
        std::vector<std::string> runs, games;
        const char* lines;
    } rows[] = {
        {"a run past midnight is split there; its game by the games line's date",
         {"Aug 02, 2000 23:30:00 - 1h 45m"}, {"SLUS-00594\t1 \tAug 02, 2000 23:30:00 - 1h 45m"},
         "\"2000-08-02\",\"30\",\"1\",\"\" | \"2000-08-02\",\"30\",\"\",\"SLUS-00594\" | "
         "\"2000-08-03\",\"75\",\"0\",\"\" | \"2000-08-03\",\"75\",\"\",\"SLUS-00594\""},
        {"the locale's month names and time separator, a run still in its first minute",
         {"déc. 05, 2026 14.05.09", "déc. 05, 2026 09.00.00 - 0h 20m"}, {},
         "\"2026-12-05\",\"20\",\"2\",\"\""},
        {"texts that do not read are skipped, never guessed",
         {"Aug 32, 2000 10:00:00 - 0h 5m", "Agosto 02, 2000 10:00:00 - 0h 5m", "Aug 02, 2000 10:00 - 0h 5m",
          "Aug 02, 2000 10:00:00 - five", "Aug 02, 2000 10:00:00 - 9000h 0m", "Aug 02, 2000 25:00:00 - 0h 5m",
          "Aug 02, 2000 10:00:00 PM - 0h 5m", "Aug 02, 2000 10:00:00PM", "Feb 29, 2000 10:00:00 - 0h 5m"},
         {}, "\"2000-02-29\",\"5\",\"1\",\"\""},
        {"minutes past the last date the file can name are left out",
         {"Dec 31, 9999 23:59:59 - 4h 1m"}, {}, "\"9999-12-31\",\"1\",\"1\",\"\""},
    };
    for (const auto& row : rows) {
        Diary diary;
        diary.Assign(DiaryFromRuns(row.runs, row.games, months));
        EXPECT_EQ(Lines(FormatDiary(diary)), row.lines) << row.what;
    }
    // At the first start with this version: from the statistics file, with the month names the
    // program writes in the user's locale (here French, in the code page) and in English.
    Harness h;
    h.os.clock.monthNames = {"janv.", "f\xE9vr.", "mars", "avr.", "mai", "juin",
                             "juil.", "ao\xFBt", "sept.", "oct.", "nov.", "d\xE9\x63."};
    h.os.files.Put(kStatsPath, std::string(kFreshFile).replace(kFreshFile.size() - 4, 4,
                                                               "3\r\n\"d\xE9\x63. 31, 2000 10:00:00 - 0h 7m\"\r\n"
                                                               "\"mars 01, 2000 10:00:00 - 0h 5m\"\r\n"
                                                               "\"janv. 15, 2000 10:00:00 - 0h 2m\"\r\n"));
    h.form.Form_Load();
    EXPECT_EQ(Lines(h.os.files.Get(kDiaryPath)), "\"2000-01-15\",\"2\",\"1\",\"\" | \"2000-03-01\",\"5\",\"1\",\"\" | "
                                                 "\"2000-12-31\",\"7\",\"1\",\"\"");
}

TEST(Diary, WhatTheFileYields) {
    const std::string day = "\"2000-08-02\",\"90\",\"2\",\"\"\r\n", game = "\"2000-08-02\",\"60\",\"\",\"SLUS-00594\"\r\n";
    const std::string next = "\"2000-08-03\",\"5\",\"1\",\"\"\r\n";
    const struct {
        std::string file;
        bool clean;
        const char* lines;  // of the file written back
    } rows[] = {
        {kHeader + day + game + next, true, "\"2000-08-02\",\"90\",\"2\",\"\" | \"2000-08-02\",\"60\",\"\",\"SLUS-00594\" | \"2000-08-03\",\"5\",\"1\",\"\""},
        {"\"KavriStat diary\",2\r\n" + day, false, ""},
        {kHeader + next + day, false, "\"2000-08-03\",\"5\",\"1\",\"\""},
        {kHeader + game + day, false, "\"2000-08-02\",\"90\",\"2\",\"\""},
        {kHeader + day + game + game, false, "\"2000-08-02\",\"90\",\"2\",\"\" | \"2000-08-02\",\"60\",\"\",\"SLUS-00594\""},
        {kHeader + "\"2000-02-30\",\"5\",\"1\",\"\"\r\n\"2000-08-02\",\"1441\",\"1\",\"\"\r\n\"2000-08-02\",\"05\",\"1\",\"\"\r\n",
         false, ""},
        {kHeader + day + "\"2000-08-02\",\"91\",\"\",\"SLUS-00594\"\r\n\"2000-08-02\",\"1\",\"1\",\"X\"\r\n", false,
         "\"2000-08-02\",\"90\",\"2\",\"\""},
        {kHeader + day + next.substr(0, next.size() - 2), false, "\"2000-08-02\",\"90\",\"2\",\"\""},
        {kHeader + "\"2000-08-03\",\"1440\",\"0\",\"\"\r\n\"2000-08-03\",\"1440\",\"\",\"SLUS-00594\"\r\n", true,
         "\"2000-08-03\",\"1440\",\"0\",\"\" | \"2000-08-03\",\"1440\",\"\",\"SLUS-00594\""},
    };
    for (const auto& row : rows) {
        const DiaryContent content = ParseDiary(row.file);
        EXPECT_EQ(content.clean, row.clean) << row.file;
        Diary diary;
        diary.Assign(content.days);
        EXPECT_EQ(Lines(FormatDiary(diary)), row.lines) << row.file;
    }
}

// The same care as the other files: a diary that cannot be read is never overwritten in the
// session, one that does not read cleanly is kept whole first, and while the statistics file
// that it would be built from is held, nothing is written that would stop that for good.
TEST(Diary, FileFailuresLoseNothing) {
    const std::string damaged = kHeader + "\"2000-08-02\",\"ten\",\"1\",\"\"\r\n";
    for (const bool readable : {false, true}) {
        Harness h;
        h.os.files.Put(kDiaryPath, damaged);
        if (!readable) h.os.files.locked.insert(kDiaryPath);
        h.Emulator(true);
        h.form.Form_Load();
        h.os.files.locked.clear();
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
        EXPECT_EQ(h.os.files.Get(kDiaryPath) == damaged, !readable);
        EXPECT_EQ(h.os.files.Get(kAppDir + "\\kvrdiary.bak"), readable ? damaged : "");
    }
    Harness held;
    held.os.files.Put(kStatsPath, kFreshFile);
    held.os.files.locked.insert(kStatsPath);
    held.Emulator(true);
    held.form.Form_Load();
    held.os.clock.Advance(60);
    held.form.Timer1_Timer();
    EXPECT_FALSE(held.os.files.Has(kDiaryPath));
}

}  // namespace
}  // namespace kavri::test
