#include <cstring>

#include "app/texts.h"
#include "platform/tray_message.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

// NOTIFYICONDATAA_V1_SIZE for this build's pointer size: 88 in the 32-bit program.
constexpr std::uint32_t kTrayRecordSize = sizeof(void*) == 4 ? 88 : 104;

// The icon's record; at logon the taskbar may not be up: the add is tried at each tick until it
// takes, and a notice waiting for the icon is told then; a restarted taskbar gets the same record.
TEST(TrayIcon, TheRecordAndAFailedAddTriedAgainUntilItTakes) {
    Harness h;
    h.os.shell.addFailures = 2;
    h.os.files.Put(kStatsPath, kFreshFile);
    h.os.files.locked.insert(kStatsPath);
    h.form.Form_Load();
    const auto& call = h.os.shell.notifyCalls.at(0);  // the record as the shell gets it
    EXPECT_EQ(call.message, 0u);
    EXPECT_EQ(call.data.cbSize, kTrayRecordSize);
    EXPECT_EQ(call.data.hWnd, h.os.windowing.WindowHandle());
    EXPECT_EQ(call.data.uID, 1u);
    EXPECT_EQ(call.data.uFlags, 7u);
    EXPECT_EQ(call.data.uCallbackMessage, 512u);
    EXPECT_EQ(call.data.hIcon, h.os.windowing.IconHandle());
    EXPECT_EQ(std::string(call.data.szTip, 64), std::string("Kavri! Statistics 1.0 by Quillon") + '\0' + std::string(31, ' '));
    for (int i = 0; i < 3; ++i) h.form.Timer1_Timer();
    EXPECT_EQ(Count(h.os.log, "Shell_NotifyIconA 0"), 3);
    EXPECT_EQ(h.os.shell.iconsShown, 1);
    EXPECT_EQ(h.os.shell.balloons.size(), 1u);
    h.form.RestoreTrayIcon();
    EXPECT_EQ(std::memcmp(&h.os.shell.notifyCalls.back().data, &h.os.shell.notifyCalls[0].data, 88), 0);

    // A save that failed while the icon was away, then succeeded: nothing left to tell.
    Harness g;
    g.os.shell.addFailures = 3;  // start-up, its tick, the next tick
    g.os.files.Put(kStatsPath, kFreshFile);
    g.form.Form_Load();
    g.os.files.diskFull = true;
    g.Emulator(true);
    g.form.Timer1_Timer();
    g.os.files.diskFull = false;
    g.form.btnRefresh_Click();
    EXPECT_EQ(g.os.shell.iconsShown, 1);
    EXPECT_TRUE(g.os.shell.balloons.empty());
}

// An add that timed out at logon may have taken: a modify tells, and the add is not repeated.
// Once the icon is removed at the end, neither the last tick nor a restarted taskbar adds it.
TEST(TrayIcon, AnAddThatTookDespiteItsAnswerAndNoIconAfterTheEnd) {
    constexpr std::uint32_t kAdd = 0, kModify = 1, kDelete = 2;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
    for (const bool tookAnyway : {false, true}) {
        Harness h;
        (tookAnyway ? h.os.shell.addTimeouts : h.os.shell.addFailures) = 10;
        h.form.Form_Load();
        h.form.Timer1_Timer();
        EXPECT_EQ(h.form.trayAdded, tookAnyway);
        EXPECT_EQ(Count(h.os.log, "Shell_NotifyIconA " + std::to_string(kAdd)), tookAnyway ? 1 : 3);
        EXPECT_EQ(Count(h.os.log, "Shell_NotifyIconA " + std::to_string(kModify)), tookAnyway ? 1 : 3);
        const std::size_t calls = h.os.shell.notifyCalls.size();
        h.form.CloseRequested(1);
        h.form.RestoreTrayIcon();
        ASSERT_EQ(h.os.shell.notifyCalls.size(), calls + 1) << tookAnyway;
        EXPECT_EQ(h.os.shell.notifyCalls.back().message, kDelete);
    }
}

TEST(TrayIcon, DoubleClickShowsAndRightButtonUpOpensTheMenuAtAnyScaling) {
    for (float twips : {15.0f, 12.0f, 7.5f}) {
        Harness h;
        h.os.windowing.twipsPerPixel = twips;
        for (int msg : {512, 513, 514, 516, 518, 519}) h.form.Form_MouseMove(0, 0, msg * twips, 0);
        EXPECT_EQ(h.os.log, fake::CallLog{}) << twips;
        h.form.Form_MouseMove(0, 0, 515 * twips, 0);
        EXPECT_TRUE(h.os.windowing.visible);
        h.form.Form_MouseMove(0, 0, 515 * twips, 0);
        EXPECT_TRUE(h.os.windowing.visible);
        h.form.Form_MouseMove(0, 0, 517 * twips, 0);
        EXPECT_EQ(h.os.windowing.menuDefaults, std::vector<int>{formKavriMeter::mnuShow});
        EXPECT_FALSE(h.form.trayBusy);
    }
}

TEST(TrayIcon, NotificationsWhileTheMenuOrItsCommandRunAreIgnored) {
    Harness h;
    h.os.windowing.whileMenuOpen = [&] { h.form.Form_MouseMove(0, 0, 517 * 15.0f, 0); };
    h.os.windowing.whileMessageBoxOpen = [&] { h.form.Form_MouseMove(0, 0, 515 * 15.0f, 0); };
    h.os.windowing.menuChoices = {formKavriMeter::mnuAbout};
    h.form.Form_MouseMove(0, 0, 517 * 15.0f, 0);
    EXPECT_EQ(Count(h.os.log, "PopupMenu"), 1);
    EXPECT_FALSE(h.os.windowing.visible);
    EXPECT_EQ(h.os.shell.executeCalls.size(), 1u);
    EXPECT_FALSE(h.form.trayBusy);
}

TEST(TrayIcon, MenuCommands) {
    Harness h;
    h.form.Form_Load();
    h.os.windowing.menuChoices = {formKavriMeter::mnuShow, formKavriMeter::mnuExit};
    h.form.Form_MouseMove(0, 0, 517 * 15.0f, 0);
    EXPECT_TRUE(h.os.windowing.visible);
    h.form.Form_MouseMove(0, 0, 517 * 15.0f, 0);
    EXPECT_TRUE(h.os.windowing.ended);
    EXPECT_EQ(h.os.shell.iconsShown, 0);
}

TEST(Credits, BoxThenTheFirstPageOpens) {
    Harness h;
    h.form.lblCredits_Click();
    h.form.mnuAbout_Click();
    ASSERT_EQ(h.os.windowing.messageBoxes.size(), 2u);
    const auto& box = h.os.windowing.messageBoxes[0];
    EXPECT_EQ(box.style, 64);
    EXPECT_EQ(box.title, "Kavri! Statistics 1.0");
    for (const char* part : {"Kavri! Statistics 1.0", "by Quillon", "https://quillon.example/",
                             "https://kavristat.quillon.example/"})
        EXPECT_NE(box.prompt.find(part), std::string::npos) << part;
    EXPECT_EQ(h.os.windowing.messageBoxes[1].prompt, box.prompt);
    EXPECT_LT(Find(h.os.log, "MsgBox"), Find(h.os.log, "ShellExecuteA"));
    const auto& open = h.os.shell.executeCalls.at(0);
    EXPECT_EQ(open.hwnd, 0u);
    EXPECT_EQ(open.operation, "Open");
    EXPECT_EQ(open.file, "https://quillon.example/");
    EXPECT_EQ(open.parameters, "");
    EXPECT_EQ(open.directory, "");
    EXPECT_EQ(open.showCommand, 1);
    EXPECT_EQ(h.form.lblCredits.Tag(), "https://quillon.example/");
}

// A UTF-8 text for a single-byte call is converted to the code page (Latin-1 and the em dash in
// the fake), its stand-in taken where a character has no place there: never the UTF-8 bytes.
TEST(CodePageText, UnicodeTextsAreConvertedOrStoodInFor) {
    fake::FakeCodePage page;
    EXPECT_EQ(page.Convert("M\xC3\xA9morial \xE2\x80\x94", "Memorial -"), "M\xE9morial \x97");
    EXPECT_EQ(page.Convert(texts::kOptions, texts::kOptionsStandIn), "&Options...");
}

TEST(TrayMessage, RealMouseMovesAreNeverTakenForNotifications) {
    // A notification: the icon's id, the mouse message, the cursor over the taskbar.
    EXPECT_TRUE(IsTrayNotification({1, 515, false}, 1));
    EXPECT_TRUE(IsTrayNotification({1, 517, false}, 1));
    // Moves over the window at x = 515 or 517, y = 0, left button down (key state 1).
    EXPECT_FALSE(IsTrayNotification({1, 515, true}, 1));
    EXPECT_FALSE(IsTrayNotification({1, 517, true}, 1));
    // Moves anywhere else in the window.
    EXPECT_FALSE(IsTrayNotification({0, (20u << 16) | 517u, true}, 1));
    EXPECT_FALSE(IsTrayNotification({1, (1u << 16) | 515u, false}, 1));
    EXPECT_FALSE(IsTrayNotification({0, 515, false}, 1));
    EXPECT_FALSE(IsTrayNotification({1, 100, false}, 1));
}

}  // namespace
}  // namespace kavri::test
