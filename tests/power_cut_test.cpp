// A crash or power cut at any byte of any save, and the program started again on the same disk.
#include "base/text_util.h"
#include "history/diary.h"
#include "stats/game_totals.h"
#include "stats/stats_file.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

const std::string kTotalsPath = kAppDir + "\\kvrgames.csv";
const std::string kDiaryPath = kAppDir + "\\kvrdiary.csv";

struct Saved {
    std::string stats, totals, diary;
    friend bool operator==(const Saved&, const Saved&) = default;
};

Saved ModelOf(formKavriMeter& form) {
    return {FormatStatsFile(form.lblTimes, form.lblTime, form.lstGames, form.lstTimes), FormatGameTotals(form.gameTotals),
            FormatDiary(form.diary)};
}

// A completed save, then one more minute played whose save the power cuts after so many bytes.
// Returns the model before that save and after it; died tells whether the cut came in time.
struct CutSave {
    Harness h;
    Saved before, after;
    bool died = false;

    CutSave(bool protectedFolder, std::optional<std::size_t> cut) {
        if (protectedFolder) h.os.files.protectedFolders.insert(kAppDir);
        h.os.files.Put(kStatsPath, kFreshFile);
        h.os.files.Put(kTotalsPath, "\"KavriStat games\",1\r\n");
        h.os.files.Put(kDiaryPath, "\"KavriStat diary\",1\r\n");
        h.GameDisc();
        h.Emulator(true);
        h.form.Form_Load();
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
        before = ModelOf(h.form);
        h.os.clock.Advance(60);
        h.os.files.powerCutAfter = cut;
        try {
            h.form.Timer1_Timer();
        } catch (const fake::PowerCut&) {
            died = true;
        }
        after = ModelOf(h.form);
    }
};

TEST(PowerCut, NoCutAtAnyByteOfASaveLosesWhatAnEarlierSaveStored) {
    for (const bool protectedFolder : {false, true}) {
        const CutSave whole(protectedFolder, std::nullopt);
        ASSERT_NE(whole.before, whole.after);
        int cuts = 0;
        for (std::size_t cut = 0;; cut += 5, ++cuts) {
            CutSave cutShort(protectedFolder, cut);
            if (!cutShort.died) break;
            Harness again;  // started again on the same disk
            again.os.files.PutAll(cutShort.h.os.files.All());
            again.os.files.protectedFolders = cutShort.h.os.files.protectedFolders;
            again.form.Form_Load();
            const Saved loaded = ModelOf(again.form);
            const Saved beside{cutShort.h.Stats(), cutShort.h.os.files.Get(kTotalsPath), cutShort.h.os.files.Get(kDiaryPath)};
            bool torn = false;
            for (auto part : {&Saved::stats, &Saved::totals, &Saved::diary}) {
                EXPECT_TRUE(loaded.*part == whole.before.*part || loaded.*part == whole.after.*part)
                    << protectedFolder << " cut at " << cut;
                torn = torn || (beside.*part != whole.before.*part && beside.*part != whole.after.*part);
            }
            // The next save puts the files beside the program right again.
            again.form.btnRefresh_Click();
            EXPECT_EQ(again.Stats(), loaded.stats) << cut;
            EXPECT_EQ(again.os.files.Get(kTotalsPath), loaded.totals) << cut;
            EXPECT_EQ(again.os.files.Get(kDiaryPath), loaded.diary) << cut;
            const bool restored = !again.os.shell.balloons.empty() &&
                                  again.os.shell.balloons[0].text.find("was cut short last time") != std::string::npos;
            EXPECT_TRUE(!torn || restored) << cut;
            EXPECT_TRUE(!restored || protectedFolder) << cut;
        }
        EXPECT_GT(cuts, protectedFolder ? 90 : 40) << "the saves were cut at too few places";
    }
}

// The copy for an in-place rewrite lives in the user's local application data, under a name of
// its own for each file, and goes once the rewrite is done.
TEST(PowerCut, TheCopyForARewriteInPlaceIsKeptOnlyWhileItIsNeeded) {
    CutSave done(true, std::nullopt);
    EXPECT_GT(Count(done.h.os.log, "RewriteFile"), 0);
    const std::string copy = done.h.form.RecoveryPath(kStatsPath);
    EXPECT_TRUE(copy.starts_with("C:\\Users\\Kavri\\AppData\\Local\\KavriStat\\Recovery\\")) << copy;
    EXPECT_TRUE(copy.ends_with("-kvrstat.csv")) << copy;
    EXPECT_NE(copy, done.h.form.RecoveryPath("D:\\Games\\KavriStat\\kvrstat.csv"));
    EXPECT_TRUE(EqualsNoCase(copy, done.h.form.RecoveryPath("c:\\program files\\kavristat\\KVRSTAT.CSV")));
    for (const auto& [path, bytes] : done.h.os.files.All())
        EXPECT_FALSE(path.find("\\recovery\\") != std::string::npos) << path;
    // With nowhere to keep the copy, the file is not rewritten and the user is told.
    Harness h;
    h.os.shell.folders.erase(ShellFolder::LocalAppData);
    h.os.files.protectedFolders.insert(kAppDir);
    h.os.files.Put(kStatsPath, kFreshFile);
    h.Emulator(true);
    h.form.Form_Load();
    EXPECT_EQ(h.Stats(), kFreshFile);
    EXPECT_EQ(Count(h.os.log, "RewriteFile"), 0);
    ASSERT_EQ(h.os.shell.balloons.size(), 1u);
    EXPECT_NE(h.os.shell.balloons[0].text.find("Windows does not let KavriStat write"), std::string::npos);
}

// A copy whose removal failed is removed at a later good save; while it stays it is no restore
// to announce when it holds what the file holds, and it never loads over a file saved after it.
TEST(PowerCut, ACopyLeftBehindNeverRollsALaterSaveBack) {
    Harness h;
    h.os.files.protectedFolders.insert(kAppDir);
    h.os.files.Put(kStatsPath, kFreshFile);
    h.Emulator(true);
    h.form.Form_Load();
    const std::string copy = h.form.RecoveryPath(kStatsPath);
    h.os.files.undeletable.insert(copy);
    const auto restart = [&] {
        auto again = std::make_unique<Harness>();
        again->os.files.PutAll(h.os.files.All());
        again->form.Form_Load();
        return again;
    };
    const auto announced = [](const Harness& again) {
        for (const auto& balloon : again.os.shell.balloons)
            if (balloon.text.find("was cut short last time") != std::string::npos) return true;
        return false;
    };
    for (const bool inPlace : {true, false}) {
        if (!inPlace) h.os.files.protectedFolders.clear();  // an ordinary save from now on
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
        ASSERT_TRUE(h.os.files.Has(copy)) << inPlace;
        const auto again = restart();
        EXPECT_EQ(FormatStatsFile(again->form.lblTimes, again->form.lblTime, again->form.lstGames, again->form.lstTimes),
                  h.Stats()) << inPlace;
        EXPECT_FALSE(announced(*again)) << inPlace;
    }
    h.os.files.undeletable.clear();
    h.os.clock.Advance(60);
    h.form.Timer1_Timer();
    EXPECT_FALSE(h.os.files.Has(copy));
}

}  // namespace
}  // namespace kavri::test
