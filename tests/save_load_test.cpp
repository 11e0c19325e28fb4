#include <functional>

#include "stats/stats_file.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

// NOTIFYICONDATAW_V2_SIZE for this build's pointer size: 936 in the 32-bit program.
constexpr std::uint32_t kBalloonRecordSize = sizeof(void*) == 4 ? 936 : 952;
constexpr std::uint32_t kNifInfoFlag = 0x10;        // NIF_INFO
const std::string kBackupPath = kAppDir + "\\kvrstat.bak";

std::string Slots() {
    std::string s;
    for (int i = 0; i < 8; ++i) s += "\"0\",\"0\"\r\n";
    return s;
}

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

// A file held by another program at start-up is loaded if it is released before anything was
// counted; released later, it is never overwritten by statistics that did not come from it.
TEST(Statistics, AFileUnreadableAtStartUp) {
    for (const bool countedFirst : {false, true}) {
        Harness h;
        h.os.files.Put(kStatsPath, ExampleFile());
        h.os.files.locked.insert(kStatsPath);
        h.Emulator(countedFirst);
        h.form.Form_Load();
        EXPECT_FALSE(h.os.windowing.visible);
        h.os.files.locked.clear();
        h.Emulator(true);
        h.os.clock.Advance(120);
        h.form.btnRefresh_Click();
        h.form.CloseRequested(1);
        EXPECT_EQ(h.Stats() == ExampleFile(), countedFirst);
        EXPECT_EQ(Count(h.os.log, "WriteWholeFile") == 0, countedFirst);
        EXPECT_EQ(h.form.lstGames.Count(), countedFirst ? 0 : 2);
        EXPECT_EQ(h.os.files.Has(kAppDir + "\\kvrgames.csv"), !countedFirst);  // totals from the late-loaded list
        ASSERT_EQ(h.os.shell.balloons.size(), 1u);  // told once, at start-up
        EXPECT_EQ(h.os.shell.balloons[0].title, "KavriStat cannot read its statistics");
        EXPECT_NE(h.os.shell.balloons[0].text.find(kStatsPath), std::string::npos);
    }
}

TEST(Statistics, AFileThatDidNotReadCleanlyIsKeptWholeBesideBeforeItIsReplaced) {
    // Cut short; a double quote inside a text; clean files longer than what is read.
    std::string longFile = Slots() + "-1\r\n32767\r\n";
    for (int i = 0; i < 32768; ++i) longFile += "\"" + std::to_string(i) + std::string(2100, '.') + "\"\r\n";
    ASSERT_GT(longFile.size(), kStatsReadLimit);
    const std::string trailing = Slots() + "-1\r\n-1\r\n" + std::string(kStatsReadLimit, '\n') + "\"the last line\"";
    for (const std::string& original : {std::string("\"1\",\"61\"\r\n\"0\",\"0\"\r\n\"2\","),
                                        Slots() + "0\r\nSLUS\"00594\t1 \tJul 30\r\n-1\r\n", longFile, trailing}) {
        Harness h;
        h.os.files.Put(kStatsPath, original);
        h.os.files.unwritable.insert(kBackupPath);
        h.form.Form_Load();
        h.Emulator(true);
        h.form.Timer1_Timer();
        EXPECT_EQ(h.Stats(), original);  // no backup, no replacement
        h.os.files.unwritable.clear();
        h.form.Timer1_Timer();
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();  // a later save keeps the backup as it is
        EXPECT_EQ(h.os.files.Get(kBackupPath), original);  // every line of the original
        // What was saved reads back cleanly and saves the same bytes again.
        const std::string saved = h.Stats();
        Harness again;
        again.os.files.Put(kStatsPath, saved);
        again.form.Form_Load();
        again.form.SaveStats();
        EXPECT_EQ(again.Stats(), saved);
        EXPECT_FALSE(again.os.files.Has(kBackupPath));
    }
    Harness quote;
    quote.os.files.Put(kStatsPath, Slots() + "0\r\nSLUS\"00594\t1 \tJul 30\r\n-1\r\n");
    quote.form.Form_Load();
    EXPECT_EQ(quote.form.lstGames.Line(0), "SLUS_00594\t1 \tJul 30");  // as the disc's own identifier reads
}

TEST(Statistics, AFolderThatTakesNoNewFileGetsTheSameBytesRewrittenInPlace) {
    Harness atomic, inPlace, fresh;
    inPlace.os.files.protectedFolders.insert(kAppDir);
    fresh.os.files.protectedFolders.insert(kAppDir);
    for (Harness* h : {&atomic, &inPlace, &fresh}) {
        if (h != &fresh) h->os.files.Put(kStatsPath, ExampleFile());
        h->form.Form_Load();
        h->Emulator(true);
        h->form.Timer1_Timer();
        h->form.CloseRequested(0);
    }
    EXPECT_EQ(inPlace.Stats(), atomic.Stats());
    EXPECT_NE(inPlace.Stats(), ExampleFile());
    EXPECT_GT(Count(inPlace.os.log, "RewriteFile"), 0);
    // The files added beside it live in a folder of the user's kept for the program's folder; a
    // balloon says so once, and a later start finds them there.
    const std::string userFolder = "C:\\Users\\Kavri\\AppData\\Local\\KavriStat\\Folders\\";
    ASSERT_EQ(inPlace.os.shell.balloons.size(), 1u);
    const std::string& told = inPlace.os.shell.balloons[0].text;
    EXPECT_TRUE(told.starts_with("Windows does not let KavriStat make new files beside it, so it keeps kvrgames.csv and "
                                 "kvrdiary.csv in " + userFolder)) << told;
    EXPECT_TRUE(told.ends_with(". Your statistics stay in kvrstat.csv beside the program.")) << told;
    EXPECT_EQ(inPlace.form.diaryFile.path, inPlace.form.UserFolderFor() + "\\kvrdiary.csv");
    EXPECT_TRUE(inPlace.os.files.Has(inPlace.form.diaryFile.path));
    inPlace.os.files.Put("C:\\names.txt", "SLUS-00594, Crystal Quest\r\n");  // an import of names lands there too
    inPlace.os.windowing.chosenFiles.push_back("C:\\names.txt");
    inPlace.form.ImportGameNames();
    EXPECT_TRUE(inPlace.os.files.Has(inPlace.form.UserFolderFor() + "\\kvrnames.csv"));
    Harness later;
    later.os.files.PutAll(inPlace.os.files.All());
    later.os.files.protectedFolders.insert(kAppDir);
    later.form.Form_Load();
    EXPECT_EQ(later.form.diaryFile.path, inPlace.form.diaryFile.path);
    EXPECT_EQ(FormatDiary(later.form.diary), FormatDiary(inPlace.form.diary));
    EXPECT_TRUE(later.os.shell.balloons.empty());
    // A file found both beside the program and in that folder: the one beside the program is read.
    Harness both;
    both.os.files.PutAll(inPlace.os.files.All());
    both.os.files.protectedFolders.insert(kAppDir);
    both.os.files.Put(kAppDir + "\\kvrdiary.csv", "\"KavriStat diary\",1\r\n\"1999-01-02\",\"3\",\"1\",\"\"\r\n");
    both.form.Form_Load();
    EXPECT_EQ(both.form.diaryFile.path, kAppDir + "\\kvrdiary.csv");
    EXPECT_NE(FormatDiary(both.form.diary).find("\"1999-01-02\",\"3\",\"1\",\"\""), std::string::npos);
    // Without a file to rewrite the statistics cannot be saved there, and the user is told why.
    EXPECT_FALSE(fresh.os.files.Has(kStatsPath));
    ASSERT_FALSE(fresh.os.shell.balloons.empty());
    EXPECT_EQ(fresh.os.shell.balloons[0].text,
              "Windows does not let KavriStat write " + kStatsPath +
                  ". Move KavriStat to a folder you can write to, such as one in your user folder. It keeps counting meanwhile.");
}

// A failed save keeps the old file, is tried again at the next tick, and its cause is told once
// a session, with the file's path.
TEST(Statistics, EachCauseOfAFailedSaveIsToldOnceASessionWithThePath) {
    struct Case {
        const char* what;
        std::function<void(fake::FakeFileSystem&)> fail;
        std::string says;
    } cases[] = {
        {"disk full", [](fake::FakeFileSystem& f) { f.diskFull = true; }, "The disk is full that holds kvrstat.csv and kvrdiary.csv in " + kAppDir},
        {"held", [](fake::FakeFileSystem& f) { f.locked.insert(kStatsPath); },
         "Another program holds " + kStatsPath + ". Close it in the other program; KavriStat saves as soon as it can"},
        {"read-only", [](fake::FakeFileSystem& f) { f.unwritable.insert(kStatsPath); }, kStatsPath + " is read-only."},
        {"held, in a protected folder", [](fake::FakeFileSystem& f) { f.protectedFolders.insert(kAppDir), f.locked.insert(kStatsPath); },
         "Another program holds " + kStatsPath},
        {"read-only, in a protected folder",
         [](fake::FakeFileSystem& f) { f.protectedFolders.insert(kAppDir), f.unwritable.insert(kStatsPath); },
         kStatsPath + " is read-only."},
        {"broken off", [](fake::FakeFileSystem& f) { f.failWritesPartWay = true; }, "Writing kvrstat.csv and kvrdiary.csv in " + kAppDir + " failed"},
    };
    for (const Case& c : cases) {
        Harness h;
        h.os.files.Put(kStatsPath, kFreshFile);
        h.os.files.Put(kAppDir + "\\kvrdiary.csv", "\"KavriStat diary\",1\r\n");
        h.form.Form_Load();
        h.Emulator(true);
        for (int round = 0; round < 2; ++round) {
            const std::string good = h.Stats();
            c.fail(h.os.files);
            for (int tick = 0; tick < 2; ++tick) {
                h.os.clock.Advance(60);
                h.form.Timer1_Timer();
            }
            EXPECT_EQ(h.Stats(), good) << c.what;  // the old file stays whole
            auto& f = h.os.files;                 // mended; the good save is silent
            f.diskFull = f.failWritesPartWay = false;
            f.locked.clear(), f.unwritable.clear(), f.protectedFolders.clear();
            h.os.clock.Advance(60);
            h.form.Timer1_Timer();
            EXPECT_NE(h.Stats(), good) << c.what;
        }
        ASSERT_EQ(h.os.shell.balloons.size(), 1u) << c.what;
        const auto& b = h.os.shell.balloons[0];
        EXPECT_EQ(b.cbSize, kBalloonRecordSize);
        EXPECT_EQ(b.uFlags, kNifInfoFlag);
        EXPECT_EQ(b.uID, h.form.trayIcon.uID);
        EXPECT_EQ(b.hWnd, h.form.trayIcon.hWnd);
        EXPECT_EQ(b.title, "KavriStat cannot save its statistics");
        EXPECT_NE(b.text.find(c.says), std::string::npos) << c.what << ": " << b.text;
    }
}

// Notices due at once share a balloon, a line per cause; what does not fit waits for the next
// balloon, so every notice is told; a good save of one file leaves what waits to be told of the
// other; a path outside the code page shows as it is.
TEST(Notices, DueAtOnceInOneBalloonAndEachFileForItself) {
    const std::string russian = "C:\\\u0418\u0433\u0440\u044b\\KavriStat";  // Cyrillic "Games"
    const std::string deep = "C:\\" + std::string(120, 'x') + "\\KavriStat";
    for (const std::string& folder : {russian, deep}) {
        Harness h;
        h.os.windowing.appPath = folder;
        const std::string stats = folder + "\\kvrstat.csv", totals = folder + "\\kvrgames.csv";
        h.os.files.Put(stats, kFreshFile);
        h.os.files.Put(totals, "\"KavriStat games\",1\r\n");
        h.GameDisc();
        h.Emulator(true);
        h.form.Form_Load();
        h.os.files.locked.insert(stats);
        if (folder == deep) h.os.files.unwritable.insert(totals);
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
        ASSERT_EQ(h.os.shell.balloons.size(), 1u);
        const std::string& text = h.os.shell.balloons[0].text;
        if (folder == russian) {
            EXPECT_EQ(text, "Another program holds " + stats +
                                ". Close it in the other program; KavriStat saves as soon as it can and keeps counting.");
            continue;
        }
        // 253 characters: the read-only file's notice does not fit beside it, and comes next.
        EXPECT_EQ(text, "Another program holds " + stats +
                            ". Close it in the other program; KavriStat saves as soon as it can and keeps counting.");
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
        ASSERT_EQ(h.os.shell.balloons.size(), 2u);
        EXPECT_TRUE(h.os.shell.balloons[1].text.starts_with(totals + " is read-only.")) << h.os.shell.balloons[1].text;

        // Both fail again while the icon is away; then the statistics save well before it is back.
        h.form.trayAdded = false;
        h.os.shell.iconsShown = 0;  // the taskbar restarts
        h.os.shell.addFailures = 1;
        h.form.noticesShown.clear();
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
        h.os.files.locked.clear();
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
        ASSERT_EQ(h.os.shell.balloons.size(), 3u);
        EXPECT_EQ(h.os.shell.balloons[2].text.find("kvrstat.csv"), std::string::npos);
        EXPECT_NE(h.os.shell.balloons[2].text.find("kvrgames.csv is read-only"), std::string::npos);
    }
}

TEST(Notices, OneCauseInTwoFoldersAndTwoTitlesInOneBalloon) {
    const std::string stats = "C:\\K\\kvrstat.csv";
    const std::string diary = "C:\\Users\\Kavri\\AppData\\Local\\KavriStat\\Folders\\0123456789abcdef\\kvrdiary.csv";
    const struct {
        const char* what;
        std::vector<NoticeOn> notices;
        const char* title;
        std::string text;
    } rows[] = {
        {"one cause for files in two folders: each by its own folder",
         {{Notice::SaveHeld, stats}, {Notice::SaveHeld, diary}}, "KavriStat cannot save its statistics",
         "Another program holds " + stats + " and " + diary +
             ". Close it in the other program; KavriStat saves as soon as it can and keeps counting."},
        {"causes of different titles: the general title, a line each",
         {{Notice::SaveDiskFull, stats}, {Notice::StatsRestored, stats}}, "KavriStat needs your attention",
         "The disk is full that holds " + stats + ". Free some space; KavriStat keeps counting and saves again.\n"
         "Saving " + stats + " was cut short last time. KavriStat took it back from the copy it keeps in your user folder."},
    };
    for (const auto& row : rows) {
        Harness h;
        h.os.windowing.appPath = "C:\\K";
        h.form.Form_Load();
        h.os.shell.balloons.clear();
        for (const auto& [cause, path] : row.notices) h.form.ReportProblem(cause, path);
        h.form.ShowPendingNotices();
        ASSERT_EQ(h.os.shell.balloons.size(), 1u) << row.what;
        EXPECT_EQ(h.os.shell.balloons[0].title, row.title) << row.what;
        EXPECT_EQ(h.os.shell.balloons[0].text, row.text) << row.what;
    }
}

// A cause told for one file is told again when another file meets it later in the session.
TEST(Notices, ACauseToldForOneFileIsToldForAnotherLater) {
    Harness h;
    const std::string totals = kAppDir + "\\kvrgames.csv";
    h.os.files.Put(kStatsPath, kFreshFile);
    h.GameDisc();
    h.Emulator(true);
    h.form.Form_Load();
    for (const std::string& held : {kStatsPath, totals}) {
        h.os.files.locked = {held};
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
    }
    ASSERT_EQ(h.os.shell.balloons.size(), 2u);
    EXPECT_TRUE(h.os.shell.balloons[1].text.starts_with("Another program holds " + totals + ".")) << h.os.shell.balloons[1].text;
}

}  // namespace
}  // namespace kavri::test
