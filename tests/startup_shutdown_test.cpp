#include <functional>

#include "tests/harness.h"

namespace kavri::test {
namespace {

TEST(StartUp, StepsRunInOrder) {
    Harness h;
    h.Emulator(true);
    h.form.Form_Load();
    const auto& log = h.os.log;
    const int shortcut = Find(log, "CreateShellLink");
    const int tray = Find(log, "Shell_NotifyIconA 0");
    const int firstDrive = Find(log, "GetDriveTypeA Z:\\");
    const int lastDrive = Find(log, "GetDriveTypeA C:\\");
    const int load = Find(log, "FileLen " + kStatsPath);
    const int show = Find(log, "Show");
    const int tick = Find(log, "CreateToolhelp32Snapshot");
    EXPECT_TRUE(0 <= shortcut && shortcut < tray && tray < firstDrive && firstDrive < lastDrive &&
                lastDrive < load && load < show && show < tick)
        << shortcut << " " << tray << " " << firstDrive << " " << lastDrive << " " << load << " " << show << " " << tick;
    EXPECT_EQ(h.form.currentIndex, -1);
    EXPECT_EQ(h.form.lstTimes.Count(), 1);  // the emulator ran: the first tick counted a run
    EXPECT_EQ(h.SlotCounts()[7], "1");
}

TEST(StartUp, ASecondInstanceEndsAtOnceTouchingNothing) {
    Harness h;
    h.os.windowing.prevInstance = true;
    h.os.files.Put(kStatsPath, kFreshFile);
    h.form.Form_Load();
    EXPECT_EQ(h.os.log, (fake::CallLog{"End"}));
    EXPECT_FALSE(h.os.windowing.visible);
    EXPECT_EQ(h.os.shell.iconsShown, 0);
}

TEST(StartUp, WindowIsShownOnlyWithoutAStatisticsFile) {
    for (const char* content : std::vector<const char*>{"", nullptr}) {
        Harness h;
        if (content) h.os.files.Put(kStatsPath, content);
        h.form.Form_Load();
        EXPECT_TRUE(h.os.windowing.visible);
        EXPECT_EQ(h.SlotMinutes(), std::vector<std::string>(8, "0/0h 0m"));
        EXPECT_EQ(Count(h.os.log, "ReadText"), 0);
    }
    Harness loaded;
    loaded.os.files.Put(kStatsPath, kFreshFile);
    loaded.form.Form_Load();
    EXPECT_FALSE(loaded.os.windowing.visible);
    EXPECT_EQ(loaded.os.shell.iconsShown, 1);
}

TEST(StartUp, CdromDrivesAreListedFromTheHighestLetterAndAAndBAreNeverAsked) {
    Harness h;
    h.os.kernel.driveTypes = {{'A', 5}, {'B', 5}, {'C', 3}, {'D', 5}, {'E', 2}, {'F', 5}};
    h.form.Form_Load();
    EXPECT_EQ(h.form.cdDrives, (std::vector<std::string>{"F:", "D:"}));
    EXPECT_EQ(Count(h.os.log, "GetDriveTypeA"), 24);
    EXPECT_EQ(Find(h.os.log, "GetDriveTypeA A:"), -1);
    EXPECT_EQ(Find(h.os.log, "GetDriveTypeA B:"), -1);
}

// Each way of closing saves, then ticks; the user's close hides the window and keeps the program,
// Exit and the end of the session remove the icon first and end it. The minute the last tick
// credits is saved too.
TEST(Closing, EachWayOfClosing) {
    const struct {
        const char* what;
        std::function<void(formKavriMeter&)> close;
        std::vector<std::string> order;
        bool ends;
    } ways[] = {
        {"the user's close", [](formKavriMeter& f) { f.CloseRequested(0); },
         {"WriteWholeFile", "CreateToolhelp32Snapshot", "Hide"}, false},
        {"Exit", [](formKavriMeter& f) { f.mnuExit_Click(); },
         {"Unload", "Shell_NotifyIconA 2", "WriteWholeFile", "CreateToolhelp32Snapshot", "End"}, true},
        {"the end of the session", [](formKavriMeter& f) { f.CloseRequested(2); },
         {"Shell_NotifyIconA 2", "WriteWholeFile", "CreateToolhelp32Snapshot", "End"}, true},
    };
    for (const auto& w : ways) {
        Harness h;
        h.Emulator(true);
        h.os.clock.Set(2000, 8, 2, 14, 5, 50);  // a Wednesday
        h.form.Form_Load();                      // counts a run
        h.os.clock.Set(2000, 8, 2, 14, 6, 5);
        h.os.log.clear();
        w.close(h.form);
        int at = -1;
        for (const std::string& step : w.order) {
            const int next = Find(h.os.log, step, at + 1);
            EXPECT_GT(next, at) << w.what << ": " << step;
            at = next;
        }
        EXPECT_EQ(h.os.windowing.ended, w.ends) << w.what;
        EXPECT_TRUE(!w.ends || h.os.log.back() == "End") << w.what;
        EXPECT_EQ(h.os.shell.iconsShown, w.ends ? 0 : 1) << w.what;
        EXPECT_TRUE(h.Stats().starts_with("\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"1\",\"1\"\r\n")) << w.what;
    }
    for (std::int16_t mode : {0, 1, 2, 3, 7}) {
        Harness h;
        std::int16_t cancel = 0;
        h.form.Form_QueryUnload(cancel, mode);
        EXPECT_EQ(cancel, mode == 0 ? -1 : 0) << mode;
    }
}

TEST(Refresh, SavesBeforeTheTick) {
    Harness h;
    h.form.Form_Load();
    h.Emulator(true);
    h.form.btnRefresh_Click();
    // The first write holds the model before the tick; the tick's run is saved right after.
    const int first = Find(h.os.log, "WriteWholeFile");
    const int tick = Find(h.os.log, "CreateToolhelp32Snapshot", first);
    const int second = Find(h.os.log, "WriteWholeFile", tick);
    EXPECT_TRUE(0 <= first && first < tick && tick < second);
    EXPECT_NE(h.Stats(), kFreshFile);
}

}  // namespace
}  // namespace kavri::test
