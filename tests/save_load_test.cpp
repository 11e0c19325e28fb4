#include "tests/harness.h"

namespace kavri::test {
namespace {

std::string ExampleFile() {
    return "\"1\",\"61\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"2\",\"2.5\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n"
           "\"3\",\"96\"\r\n1\r\n\"SCES-05678\t1 \tJul 30, 2000 10:14:00 - 1h 1m\"\r\n"
           "\"SLUS-00594\t2 \tAug 02, 2000 14:05:00, again - 0h 20m\"\r\n1\r\n"
           "\"Aug 02, 2000 14:05:00 - 0h 20m\"\r\n\"Jul 30, 2000 10:14:00 - 1h 1m\"\r\n\"after the runs\"\r\n";
}

TEST(Statistics, LoadThenSaveGivesBackTheSameModel) {
    Harness h;
    h.os.files.Put(kStatsPath, ExampleFile());
    ASSERT_TRUE(h.form.LoadStats());
    EXPECT_EQ(h.SlotMinutes()[0], "61/1h 1m");
    EXPECT_EQ(h.SlotMinutes()[3], "2.5/0h 2m");
    EXPECT_EQ(h.SlotCounts()[7], "3");
    EXPECT_EQ(h.form.lstGames.Line(1), "SLUS-00594\t2 \tAug 02, 2000 14:05:00, again - 0h 20m");
    EXPECT_EQ(h.form.lstTimes.Count(), 2);
    h.form.SaveStats();
    std::string expected = ExampleFile();
    expected.erase(expected.find("\"after the runs\""));
    EXPECT_EQ(h.Stats(), expected);
}

TEST(Statistics, MissingOrEmptyFileLoadsNothing) {
    for (const char* content : std::vector<const char*>{"", nullptr}) {
        Harness h;
        if (content) h.os.files.Put(kStatsPath, content);
        EXPECT_FALSE(h.form.LoadStats());
        EXPECT_EQ(h.SlotMinutes(), std::vector<std::string>(8, "0/0h 0m"));
        EXPECT_EQ(h.form.lstGames.Count() + h.form.lstTimes.Count(), 0);
        EXPECT_EQ(Count(h.os.log, "ReadText"), 0);
    }
}

TEST(Statistics, PathBesideTheExecutable) {
    Harness h;
    h.os.windowing.appPath = "E:\\";
    EXPECT_EQ(h.form.StatsPath(), "E:\\kvrstat.csv");
    h.os.windowing.appPath = "E:\\Tools";
    EXPECT_EQ(h.form.StatsPath(), "E:\\Tools\\kvrstat.csv");
}

TEST(Statistics, ALockedFileIsNeverOverwrittenByStatisticsThatDidNotComeFromIt) {
    Harness h;
    h.os.files.Put(kStatsPath, ExampleFile());
    h.os.files.locked.insert(kStatsPath);
    h.Emulator(true);
    h.form.Form_Load();
    EXPECT_FALSE(h.os.windowing.visible);
    h.os.files.locked.clear();  // released after the model changed: still not ours to overwrite
    h.os.clock.Advance(120);
    h.form.btnRefresh_Click();
    h.form.CloseRequested(1);
    EXPECT_EQ(h.Stats(), ExampleFile());
    EXPECT_EQ(Count(h.os.log, "WriteWholeFile"), 0);
}

TEST(Statistics, ALockedFileReleasedBeforeAnythingWasCountedIsLoadedThen) {
    Harness h;
    h.os.files.Put(kStatsPath, ExampleFile());
    h.os.files.locked.insert(kStatsPath);
    h.form.Form_Load();
    h.os.files.locked.clear();
    h.Emulator(true);
    h.form.Timer1_Timer();
    EXPECT_EQ(h.form.lstGames.Count(), 2);
    EXPECT_EQ(h.SlotCounts()[7], "4");
    EXPECT_NE(h.Stats().find("\"4\",\"96\""), std::string::npos);
}

TEST(Statistics, AFailedWriteKeepsTheOldFileAndTheNextTickTriesAgain) {
    for (int failure = 0; failure < 3; ++failure) {
        Harness h;
        h.os.files.Put(kStatsPath, kFreshFile);
        h.form.Form_Load();
        if (failure == 0) h.os.files.failWritesPartWay = true;
        if (failure == 1) h.os.files.diskFull = true;
        if (failure == 2) h.os.files.unwritable.insert(kStatsPath);
        h.Emulator(true);
        h.form.Timer1_Timer();
        EXPECT_EQ(h.Stats(), kFreshFile) << failure;
        h.os.files.failWritesPartWay = h.os.files.diskFull = false;
        h.os.files.unwritable.clear();
        h.form.Timer1_Timer();  // nothing new this tick, but the change is still unsaved
        EXPECT_NE(h.Stats().find("\"1\",\"0\""), std::string::npos) << failure;
    }
}

TEST(Statistics, AFileThatDidNotReadCleanlyIsKeptBesideBeforeItIsReplaced) {
    const std::string damaged = "\"1\",\"61\"\r\n\"0\",\"0\"\r\n\"2\",";
    const std::string backup = kAppDir + "\\kvrstat.bak";
    Harness h;
    h.os.files.Put(kStatsPath, damaged);
    h.os.files.unwritable.insert(backup);
    h.form.Form_Load();
    EXPECT_EQ(h.SlotMinutes()[0], "61/1h 1m");
    EXPECT_EQ(h.SlotCounts()[2], "0");
    h.form.SaveStats();
    EXPECT_EQ(h.Stats(), damaged);  // no backup, no replacement
    h.os.files.unwritable.clear();
    h.form.SaveStats();
    EXPECT_EQ(h.os.files.Get(backup), damaged);
    EXPECT_TRUE(h.Stats().starts_with("\"1\",\"61\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n"));
}

}  // namespace
}  // namespace kavri::test
