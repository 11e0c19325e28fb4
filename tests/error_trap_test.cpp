#include <functional>

#include "app/error_trap.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

constexpr float kDoubleClick = 515 * 15.0f;    // WM_LBUTTONDBLCLK at 15 twips per pixel
constexpr float kRightButtonUp = 517 * 15.0f;  // WM_RBUTTONUP

// A service that fails in the middle of a tick, a save or a tray command: the shell's trap
// abandons that handler; later events, the exit and the end of the session still work.
TEST(ErrorTraps, AFailingHandlerIsAbandonedAndTheProgramGoesOn) {
    struct Case {
        const char* throwOn;
        std::function<void(Harness&)> event;
        bool escapes;  // the handler has no trap of its own
    } cases[] = {
        {"mciSendStringA status", [](Harness& h) { h.form.Timer1_Timer(); }, true},
        {"Process32Next", [](Harness& h) { h.form.Timer1_Timer(); }, false},
        {"WriteWholeFile", [](Harness& h) { h.form.btnRefresh_Click(); }, true},
        {"PopupMenu", [](Harness& h) { h.form.Form_MouseMove(0, 0, kRightButtonUp, 0); }, false},
        {"ShellExecuteA", [](Harness& h) { h.form.lblCredits_Click(); }, false},
    };
    for (const Case& c : cases) {
        for (const std::int16_t unloadMode : {1, 2}) {  // Exit, and the end of the session
            Harness h;
            h.GameDisc();
            h.Emulator(true);
            h.form.Form_Load();
            h.os.log.throwOn = c.throwOn;
            h.os.clock.Advance(60);
            EXPECT_EQ(Trap([&] { c.event(h); }), !c.escapes) << c.throwOn;
            EXPECT_EQ(h.os.kernel.openSnapshots, 0) << c.throwOn;
            EXPECT_FALSE(h.form.trayBusy) << c.throwOn;

            h.os.log.throwOn.clear();
            h.form.Timer1_Timer();
            h.form.Form_MouseMove(0, 0, kDoubleClick, 0);
            EXPECT_TRUE(h.os.windowing.visible) << c.throwOn;
            EXPECT_FALSE(h.os.multimedia.aliasMisused) << c.throwOn;
            EXPECT_EQ(h.form.lstGames.Count(), 1) << c.throwOn;

            const std::string model = h.form.lstTimes.Line(0);
            h.os.log.throwOn = c.throwOn;
            h.form.CloseRequested(unloadMode);
            EXPECT_EQ(h.os.shell.iconsShown, 0) << c.throwOn;
            EXPECT_TRUE(h.os.windowing.ended) << c.throwOn;
            if (std::string(c.throwOn) != "WriteWholeFile") {
                EXPECT_NE(h.Stats().find(model), std::string::npos) << c.throwOn;
            }
        }
    }
}

}  // namespace
}  // namespace kavri::test
