#include "tests/harness.h"

namespace kavri::test {
namespace {

const char kBoot[] = "BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n";

struct DiscTest : ::testing::Test {
    Harness h;
    void Drives(std::initializer_list<char> letters) {
        for (char c : letters) h.os.kernel.driveTypes[c] = 5;
        h.form.Form_Load();
        h.os.log.clear();
        h.os.multimedia.commands.clear();
    }
    void GameDisc(const std::string& drive, const std::string& boot = kBoot) {
        h.os.multimedia.Insert(drive);
        h.os.files.Put(drive + "\\system.cnf", boot);
    }
};

TEST_F(DiscTest, NoDriveMeansNoProbe) {
    Drives({});
    h.form.currentEntry = "kept";
    h.form.ProbeDiscs();
    EXPECT_TRUE(h.os.multimedia.commands.empty());
    EXPECT_EQ(h.form.currentEntry, "kept");
}

TEST_F(DiscTest, CommandsPerDriveAndOneDeviceAtATime) {
    Drives({'D', 'F'});
    h.form.ProbeDiscs();
    EXPECT_EQ(h.os.multimedia.commands,
              (std::vector<std::string>{"open F: Type cdaudio Alias cdtly wait", "status cdtly media present wait",
                                        "close cdtly", "open D: Type cdaudio Alias cdtly wait",
                                        "status cdtly media present wait", "close cdtly"}));
    EXPECT_FALSE(h.os.multimedia.aliasMisused);
    EXPECT_FALSE(h.os.multimedia.badReplyLength);
}

TEST_F(DiscTest, ADiscThatStaysIsRecordedOnceAndAgainAfterItWasTakenOut) {
    Drives({'D'});
    GameDisc("D:");
    for (int i = 0; i < 3; ++i) h.form.ProbeDiscs();
    EXPECT_EQ(h.form.lstGames.Count(), 1);
    EXPECT_EQ(Count(h.os.log, "FileLen D:\\system.cnf"), 1);
    EXPECT_EQ(h.form.currentIndex, 0);

    h.form.gameMinutes = 7;
    h.os.multimedia.Eject("D:");
    h.form.ProbeDiscs();
    EXPECT_EQ(h.form.currentIndex, -1);
    EXPECT_EQ(h.form.currentEntry, "");
    EXPECT_EQ(h.form.gameMinutes, 0);

    h.os.multimedia.Insert("D:");
    h.form.ProbeDiscs();
    EXPECT_EQ(h.form.lstGames.Line(0).substr(0, 14), "SLUS-00594\t2 \t");
}

TEST_F(DiscTest, DiscsWithoutABootFileAreMarkedSeenAndNotLookedAtAgain) {
    Drives({'D'});
    h.os.multimedia.Insert("D:");
    h.os.files.Put("D:\\system.cnf", "");  // empty counts as missing
    h.form.ProbeDiscs();
    h.os.files.Put("D:\\system.cnf", kBoot);
    h.form.ProbeDiscs();
    EXPECT_EQ(h.form.lstGames.Count(), 0);
    EXPECT_EQ(Count(h.os.log, "FileLen"), 1);
}

TEST_F(DiscTest, ThePassEndsAtTheFirstDriveHoldingAMedium) {
    Drives({'D', 'F'});
    h.os.multimedia.Insert("F:");  // an audio CD
    GameDisc("D:");
    h.form.ProbeDiscs();
    EXPECT_EQ(Count(h.os.log, "mciSendStringA open"), 1);
    EXPECT_EQ(h.form.lstGames.Count(), 0);
}

TEST_F(DiscTest, AReplyThatDoesNotConvertKeepsTheDrivesLastAnswer) {
    Drives({'D'});
    GameDisc("D:");
    h.form.ProbeDiscs();
    for (const char* reply : {"", "maybe"}) {
        h.os.multimedia.drives["D:"].status = reply;
        h.form.ProbeDiscs();
        EXPECT_EQ(h.form.currentIndex, 0) << reply;
    }
    for (const char* reply : {"FALSE", "0"}) {
        h.os.multimedia.drives["D:"].status = reply;
        h.form.ProbeDiscs();
        EXPECT_EQ(h.form.currentIndex, -1) << reply;
        h.os.multimedia.drives["D:"].status = "TRUE";
        h.form.ProbeDiscs();
        EXPECT_EQ(h.form.currentIndex, 0) << reply;
    }
    h.os.multimedia.Eject("D:");
    h.form.ProbeDiscs();
    h.os.multimedia.drives["D:"].statusFails = true;  // the open's "1" is no answer to the query
    h.form.ProbeDiscs();
    EXPECT_EQ(h.form.currentIndex, -1);
    EXPECT_EQ(h.form.lstGames.Line(0).substr(0, 14), "SLUS-00594\t3 \t");
}

TEST_F(DiscTest, ADiscInALaterDriveIsRecordedOnceWhileAnEarlierOneIsEmpty) {
    Drives({'D', 'F'});
    GameDisc("D:");
    for (int i = 0; i < 4; ++i) h.form.ProbeDiscs();
    EXPECT_EQ(h.form.lstGames.Count(), 1);
    EXPECT_EQ(h.form.lstGames.Line(0).substr(0, 14), "SLUS-00594\t1 \t");
    EXPECT_EQ(h.form.currentIndex, 0);  // the empty F: does not end D:'s game
    EXPECT_EQ(h.form.currentDrive, "D:");
}

TEST_F(DiscTest, TheGameEndsOnlyWhenItsOwnDriveIsEmpty) {
    Drives({'D', 'F'});
    GameDisc("D:");
    h.form.ProbeDiscs();
    h.form.gameMinutes = 5;
    h.os.multimedia.Insert("F:");  // an audio CD comes and goes in the other drive
    h.form.ProbeDiscs();
    h.os.multimedia.Eject("F:");
    h.form.ProbeDiscs();
    EXPECT_EQ(h.form.currentIndex, 0);
    EXPECT_EQ(h.form.gameMinutes, 5);
    EXPECT_EQ(h.form.lstGames.Count(), 1);
    h.os.multimedia.Eject("D:");
    h.form.ProbeDiscs();
    EXPECT_EQ(h.form.currentIndex, -1);
    EXPECT_EQ(h.form.gameMinutes, 0);
}

}  // namespace
}  // namespace kavri::test
