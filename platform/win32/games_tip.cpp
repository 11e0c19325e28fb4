// The games list's tooltip: the total, play count and first-played date of the line under the
// cursor. The list's own mouse moves drive it: it shows beside the cursor, follows it from line
// to line and goes when the cursor leaves the list or points at no line.
#include "platform/win32/main_window.h"

#include <commctrl.h>

#include "app/error_trap.h"
#include "platform/win32/code_page_calls.h"

namespace kavri::win32 {
namespace {

constexpr UINT_PTR kGamesTool = 1;

// Its text goes with each message that needs one (SendTool).
TOOLINFOA GamesTool(HWND owner) {
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    info.hwnd = owner;
    info.uId = kGamesTool;
    return info;
}

}  // namespace

void MainWindow::AddGamesTip(HWND list) {
    gamesTip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    SendTool(gamesTip_, TTM_ADDTOOLA, 0, GamesTool(hwnd_), "");
    ::SetWindowSubclass(list, &MainWindow::GamesListProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

// The line under the cursor, or -1 where there is none.
int MainWindow::GameUnderCursor(HWND list) const {
    POINT at;
    ::GetCursorPos(&at);
    ::ScreenToClient(list, &at);
    const LRESULT hit = ::SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
    RECT line;
    if (HIWORD(hit) || ::SendMessageA(list, LB_GETITEMRECT, LOWORD(hit), reinterpret_cast<LPARAM>(&line)) == LB_ERR ||
        !::PtInRect(&line, at))
        return -1;
    return LOWORD(hit);
}

void MainWindow::ShowGameTip(HWND list, int line) {
    hoveredGame_ = line;
    const TOOLINFOA info = GamesTool(hwnd_);
    if (line < 0) {
        SendTool(gamesTip_, TTM_TRACKACTIVATE, FALSE, info, "");
        return;
    }
    gamesTipText_ = form_.GameTip(line);
    const CodePageText tip = CodePageText::Kept(gamesTipText_);  // the names and lines are kept in the code page
    SendTool(gamesTip_, TTM_UPDATETIPTEXTA, 0, info, tip);
    POINT at;
    ::GetCursorPos(&at);
    ::SendMessageA(gamesTip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x + 12, at.y + 20));
    SendTool(gamesTip_, TTM_TRACKACTIVATE, TRUE, info, tip);
    TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, list, 0};
    ::TrackMouseEvent(&leave);
}

LRESULT CALLBACK MainWindow::GamesListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
    auto* self = reinterpret_cast<MainWindow*>(data);
    // Called by Windows: a tip that fails is abandoned, the list goes on.
    Trap([&] {
        if (message == WM_MOUSEMOVE && self->GameUnderCursor(list) != self->hoveredGame_)
            self->ShowGameTip(list, self->GameUnderCursor(list));
        else if (message == WM_MOUSELEAVE)
            self->ShowGameTip(list, -1);
    });
    return ::DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace kavri::win32
