// The tray icon, its notifications, the menu commands and the credits.
#include <algorithm>
#include <cstring>

#include "app/error_trap.h"
#include "app/form_kavri_meter.h"
#include "app/texts.h"

namespace kavri {

void formKavriMeter::AddTrayIcon() {
    trayIcon = NotifyIconDataA{};
    trayIcon.cbSize = sizeof(NotifyIconDataA);
    trayIcon.hWnd = os_.windowing.WindowHandle();
    trayIcon.uID = 1;
    trayIcon.uFlags = kNifMessageIconTip;
    trayIcon.uCallbackMessage = kWmMouseMove;
    trayIcon.hIcon = os_.windowing.IconHandle();
    // The tip, for the single-byte call: in the code page, as the window's caption is kept. The
    // text, one NUL, then blanks to the end of the 64-character field.
    const CodePageText credit = texts::kAuthorCredit;
    const std::string tip = Caption + " " + credit.str();
    std::memset(trayIcon.szTip, ' ', sizeof trayIcon.szTip);
    const std::size_t length = std::min(tip.size(), sizeof trayIcon.szTip - 1);
    std::memcpy(trayIcon.szTip, tip.data(), length);
    trayIcon.szTip[length] = '\0';
    RestoreTrayIcon();
}

// At logon the taskbar may not be up yet; whether the add took is remembered, so that it is tried
// again until it does. An add that timed out while the taskbar was busy may still have taken: a
// modify of the icon tells. Once removed at the end, the icon is not added again.
void formKavriMeter::RestoreTrayIcon() {
    if (trayRemoved) return;
    trayAdded = os_.shell.Shell_NotifyIconA(kNimAdd, &trayIcon) != 0 ||
                os_.shell.Shell_NotifyIconA(kNimModify, &trayIcon) != 0;
}

void formKavriMeter::Form_MouseMove(std::int16_t /*Button*/, std::int16_t /*Shift*/, float x, float /*y*/) {
    if (trayBusy) return;
    trayBusy = true;
    // A failing show, menu or command is abandoned; the guard is released whatever happens.
    Trap([&] {
        const float msg = x / os_.windowing.TwipsPerPixelX();
        if (msg == 515.0f) {
            os_.windowing.Show();
        } else if (msg == 517.0f) {
            switch (os_.windowing.PopupMenu(mnuMain, mnuShow)) {
            case mnuShow: mnuShow_Click(); break;
            case mnuAbout: mnuAbout_Click(); break;
            case mnuExit: mnuExit_Click(); break;
            default: break;
            }
        }
    });
    trayBusy = false;
}

void formKavriMeter::mnuShow_Click() { os_.windowing.Show(); }

void formKavriMeter::mnuAbout_Click() { lblCredits_Click(); }

void formKavriMeter::lblCredits_Click() {
    // The message box takes UTF-8: the fixed texts, not the window's caption in the code page.
    const std::string prompt = std::string(texts::kCaption) + "\r\n" + texts::kAuthorCredit + "\r\n\r\n" +
                               texts::kFirstWebPage + "\r\n" + texts::kSecondWebPage;
    Trap([&] { os_.windowing.MsgBox(prompt, kMbIconInformation, texts::kCaption); });
    Trap([&] { os_.shell.ShellExecuteA(0, "Open", texts::kFirstWebPage, "", "", kSwShowNormal); });
}

}  // namespace kavri
