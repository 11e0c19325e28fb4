// Delivers each window message to the matching handler of the main window object.
#include <windows.h>
#include <dbt.h>
#include <windowsx.h>

#include <algorithm>

#include "app/error_trap.h"
#include "app/texts.h"
#include "platform/tray_message.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/main_window.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide.h"

namespace kavri::win32 {
namespace {
// The games list's menu items.
enum GamesMenuItem { kGameHistory = 1, kNameGame, kRemoveName, kImportNames };

// A colour's relative luminance, 0 to 10000, with sRGB's curve taken as 0.8 c^2 + 0.2 c^3, which
// strays from it by 0.013 at most.
int Luminance(COLORREF colour) {
    const auto linear = [](int c) { return (4 * c * c + c * c * c / 255) / 5; };  // 0 to 65025
    return (2126 * linear(GetRValue(colour)) + 7152 * linear(GetGValue(colour)) + 722 * linear(GetBValue(colour))) /
           65025;
}

// True when the two colours' contrast ratio, as WCAG 2 reckons it ((L1 + 0.05) / (L2 + 0.05)),
// is 4.5:1 at least, what it asks of text.
bool Readable(COLORREF a, COLORREF b) {
    const int la = Luminance(a), lb = Luminance(b);
    const int lighter = la > lb ? la : lb, darker = la > lb ? lb : la;
    return 2 * (lighter + 500) >= 9 * (darker + 500);
}

// The link's colour on the window's face: the system's link colour where it reads there (a contrast
// of 4.5:1 at least, what WCAG asks of text), as Windows' schemes have it, high contrast ones
// among them; else the classic link blue where that reads (Wine's default link colour is #E0E0E0,
// next to invisible on its light face); else the labels' own colour, the link told by its
// underline alone.
COLORREF LinkColour(COLORREF face, COLORREF text) {
    const COLORREF system = ::GetSysColor(COLOR_HOTLIGHT);
    if (Readable(system, face)) return system;
    constexpr COLORREF kClassicBlue = RGB(0, 0, 192);
    if (Readable(kClassicBlue, face)) return kClassicBlue;
    return text;
}

}  // namespace

LRESULT CALLBACK MainWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    // The one place where the window hands an event to a handler: a handler that fails is
    // abandoned and the program goes on.
    LRESULT result = 0;
    if (!Trap([&] { result = self->Handle(message, wParam, lParam); })) {
        ::OutputDebugStringA(("KavriStat: the handler of message " + std::to_string(message) + " was abandoned\n").c_str());
        return 0;
    }
    self->SyncPadTimer();
    return result;
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kLoadMessage:
        form_.Form_Load();
        return 0;
    case WM_TIMER:
        if (wParam == kPadTimerId) {
            form_.PadTimer_Timer();
            return 0;
        }
        if (wParam == kTimerId) form_.Timer1_Timer();
        history_.Refresh();  // it follows the diary live
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == HandleOf(form_.lstGames)) OnGamesMenu(reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_VKEYTOITEM:
        return OnKeyToItem(wParam, reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
        return OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == credits_) {
            ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
            return TRUE;
        }
        break;
    case WM_CLOSE:  // the user closes the window
        form_.CloseRequested(0);
        return 0;
    case WM_DEVICECHANGE: {
        // A volume arrived or left (an image mounted as a DVD drive, a virtual drive, a USB
        // drive): the CD-ROM drives are collected again.
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
        if ((wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && header &&
            header->dbch_devicetype == DBT_DEVTYP_VOLUME)
            form_.RescanDrives();
        // Any device may be a game pad plugged in or out (DBT_DEVNODES_CHANGED tells of those).
        form_.DevicesChanged();
        return TRUE;
    }
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:  // the process ends when this returns: save now
        if (wParam) form_.CloseRequested(2);
        return 0;
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            form_.RestoreTrayIcon();
            return 0;
        }
        break;
    }
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    if (id == kIdRefresh && code == BN_CLICKED) form_.btnRefresh_Click();
    else if (id == kIdHistory && code == BN_CLICKED) history_.Open(hwnd_, font_, dpi_, "");
    else if (id == kIdOptions && code == BN_CLICKED) form_.btnOptions_Click();
    else if (id == kIdCredits && code == STN_CLICKED) form_.lblCredits_Click();
    else if (ListBox* list = ListOf(control); list && code == LBN_SELCHANGE)
        list->Select(static_cast<int>(::SendMessageA(control, LB_GETCURSEL, 0, 0)));
}

// The list box reports each key press; -1 lets it go on with its own handling of the key.
LRESULT MainWindow::OnKeyToItem(WPARAM wParam, HWND control) {
    ListBox* list = ListOf(control);
    if (!list) return -1;
    list->Select(static_cast<int>(::SendMessageA(control, LB_GETCURSEL, 0, 0)));
    std::int16_t key = static_cast<std::int16_t>(LOWORD(wParam));
    const std::int16_t shift = static_cast<std::int16_t>((::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                                                         (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                                         (::GetKeyState(VK_MENU) < 0 ? 4 : 0));
    if (list == &form_.lstTimes) {
        form_.lstTimes_KeyDown(key, shift);
    } else {
        form_.lstGames_KeyDown(key, shift);
        history_.Retitle();  // F2 may have named a game
    }
    return key == 0 ? -2 : -1;
}

// The tray icon's notifications arrive as mouse moves; real moves over the window are not them.
void MainWindow::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    const MouseMoveMessage move{wParam, lParam, CursorOnClientArea()};
    if (!IsTrayNotification(move, form_.trayIcon.uID)) return;
    form_.Form_MouseMove(0, 0, static_cast<float>(LOWORD(lParam)) * TwipsPerPixelX(), 0);
}

void MainWindow::SyncPadTimer() {
    if (form_.PadTimer.enabled == padTimerOn_ || !hwnd_) return;
    if (!form_.PadTimer.enabled) ::KillTimer(hwnd_, kPadTimerId);
    else if (!::SetTimer(hwnd_, kPadTimerId, static_cast<UINT>(form_.PadTimer.interval), nullptr))
        return Trace("SetTimer", "PadTimer", ::GetLastError());  // asked again after the next message
    padTimerOn_ = form_.PadTimer.enabled;
}

bool MainWindow::CursorOnClientArea() const {
    // Input messages are posted, never sent; a sent message is a notification.
    if (::InSendMessage()) return false;
    const DWORD position = ::GetMessagePos();
    const POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    return ::IsWindowVisible(hwnd_) && ::WindowFromPoint(point) == hwnd_;
}

// The labels in the scheme's colours, high contrast ones among them: the button text on the
// button face, which is the window's background (its class brush).
LRESULT MainWindow::OnColorStatic(HDC dc, HWND control) {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), text = ::GetSysColor(COLOR_BTNTEXT);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetBkColor(dc, face);
    ::SetTextColor(dc, control == credits_ ? LinkColour(face, text) : text);
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

void MainWindow::OnGamesMenu(HWND list, LPARAM at) {
    int line = static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0));
    POINT where{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at == -1) {  // from the keyboard: at the selected line
        RECT rect{};
        ::SendMessageA(list, LB_GETITEMRECT, std::max(line, 0), reinterpret_cast<LPARAM>(&rect));
        where = POINT{rect.left, rect.bottom};
        ::ClientToScreen(list, &where);
    } else if (const int under = GameUnderCursor(list); under >= 0) {
        line = under;
    }
    if (line >= form_.lstGames.Count()) line = -1;
    const HMENU menu = ::CreatePopupMenu();
    if (line >= 0) {
        ::AppendMenuW(menu, MF_STRING, kGameHistory, Wide(texts::kMenuGameHistory).c_str());
        ::AppendMenuW(menu, MF_STRING, kNameGame, Wide(texts::kMenuNameGame).c_str());
        if (form_.HasTypedName(line)) ::AppendMenuW(menu, MF_STRING, kRemoveName, Wide(texts::kMenuRemoveName).c_str());
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    }
    ::AppendMenuW(menu, MF_STRING, kImportNames, Wide(texts::kMenuImportNames).c_str());
    ::SetForegroundWindow(hwnd_);
    const int chosen = static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, where.x, where.y, 0, hwnd_, nullptr));
    ::DestroyMenu(menu);
    OnGamesMenuChoice(chosen, line);
}

void MainWindow::OnGamesMenuChoice(int choice, int line) {
    if (choice == kGameHistory) history_.Open(hwnd_, font_, dpi_, TotalFromGamesLine(form_.lstGames.Line(line)).id);
    else if (choice == kNameGame) form_.NameGame(line);
    else if (choice == kRemoveName) form_.RemoveGameName(line);
    else if (choice == kImportNames) form_.ImportGameNames();
    history_.Retitle();
}

ListBox* MainWindow::ListOf(HWND control) {
    for (ListBox* list : {&form_.lstTimes, &form_.lstGames})
        if (HandleOf(*list) == control) return list;
    return nullptr;
}

}  // namespace kavri::win32
