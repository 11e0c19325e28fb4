// The History window's Games view: a bar per game for the period chosen, longest first, in an
// owner-drawn list box whose lines are the rows' texts, so that screen readers read them and the
// list scrolls by wheel, keys and scroll bar. Each row is drawn off screen first, in system colours.
#include <algorithm>

#include "platform/win32/code_page_calls.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/history_window.h"
#include "platform/win32/trace.h"
#include "stats/duration.h"
#include "stats/number_text.h"

namespace kavri::win32 {
namespace {

constexpr CodePageText kPeriodNames[] = {"Last 7 days", "Last 30 days", "This year", "All time"};

std::string PercentText(const ShareRow& row) { return std::to_string(row.percent) + "%"; }

std::string DurationText(const ShareRow& row) { return FormatDuration(SaturateInt32(static_cast<double>(row.minutes))); }

// Text in the code page onto the clipboard as UTF-16.
void PutOnClipboard(HWND owner, const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (length + 1) * sizeof(wchar_t));
    auto* wide = memory ? static_cast<wchar_t*>(::GlobalLock(memory)) : nullptr;
    if (wide) {
        ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, length);
        ::GlobalUnlock(memory);
    }
    // The clipboard owns the memory once it took it; otherwise it is freed here.
    const bool put = wide && ::OpenClipboard(owner) && ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory);
    if (!put) {
        Trace("SetClipboardData", "", ::GetLastError());
        if (memory) ::GlobalFree(memory);
    }
    ::CloseClipboard();
}

}  // namespace

void HistoryWindow::FillPeriods() {
    for (const CodePageText& name : kPeriodNames) SendLine(period_, CB_ADDSTRING, 0, name);
    ::SendMessageA(period_, CB_SETCURSEL, 0, 0);
}

// The chart and its game chooser, or the rows and their period chooser; the view's button checked.
void HistoryWindow::ShowView() {
    const HWND focus = ::GetFocus();
    for (const HWND chart : {label_, combo_, chart_}) ::ShowWindow(chart, sharesShown_ ? SW_HIDE : SW_SHOW);
    for (const HWND rows : {periodLabel_, period_, list_}) ::ShowWindow(rows, sharesShown_ ? SW_SHOW : SW_HIDE);
    const int shown = sharesShown_ ? 3 : static_cast<int>(view_);
    for (int view = 0; view < 4; ++view)
        ::SendMessageA(views_[view], BM_SETCHECK, view == shown ? BST_CHECKED : BST_UNCHECKED, 0);
    const HWND first = sharesShown_ ? list_ : chart_;
    if (focus && !::IsWindowVisible(focus)) ::SetFocus(first);
    // Shown from the main window while this one was inactive: activation brings the focus back here.
    if (focus_ && !::IsWindowVisible(focus_)) focus_ = first;
    HideTip();
}

// "Crystal Quest — SLUS-00594: 1h 35m, 42%"
std::string HistoryWindow::RowText(const ShareRow& row) {
    return form_.TitleOf(row.name, row.ids) + ": " + DurationText(row) + ", " + PercentText(row);
}

// The rows anew; on a tick the first row shown and the chosen game stay, and lines alike are not
// drawn again.
void HistoryWindow::RebuildShares(bool keepPlace) {
    const LRESULT chosen = keepPlace ? ::SendMessageA(list_, LB_GETCURSEL, 0, 0) : LB_ERR;
    const bool held = chosen >= 0 && chosen < static_cast<LRESULT>(shares_.rows.size());
    const ShareRow kept = held ? shares_.rows[chosen] : ShareRow{};
    const LRESULT top = keepPlace ? ::SendMessageA(list_, LB_GETTOPINDEX, 0, 0) : 0;
    drawnDay_ = form_.Today();
    drawnShares_ = form_.diary.Revision() + form_.gameTotals.Revision();
    const int period = static_cast<int>(::SendMessageA(period_, CB_GETCURSEL, 0, 0));
    shares_ = form_.Shares(static_cast<SharePeriod>(std::clamp(period, 0, 3)));
    SetText(status_, CodePageText::Kept(shares_.total));
    std::vector<std::string> texts;
    for (const ShareRow& row : shares_.rows) texts.push_back(RowText(row));
    if (texts == rowTexts_ && keepPlace) return;
    rowTexts_ = std::move(texts);
    ::SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& text : rowTexts_) SendLine(list_, LB_ADDSTRING, 0, CodePageText::Kept(text));
    ::SendMessageA(list_, LB_SETCURSEL, held ? RowOf(shares_, kept) : -1, 0);
    ::SendMessageA(list_, LB_SETTOPINDEX, top, 0);
    ::SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, FALSE);
}

// The title, the bar scaled to the longest row's (a minute still shows), the time and the share;
// a chosen row in the highlight colours.
void HistoryWindow::DrawRow(const DRAWITEMSTRUCT& item) {
    const int width = item.rcItem.right - item.rcItem.left, height = item.rcItem.bottom - item.rcItem.top;
    const HDC dc = ::CreateCompatibleDC(item.hDC);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(item.hDC, std::max(1, width), std::max(1, height));
    const HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap), oldFont = ::SelectObject(dc, font_);
    const bool chosen = item.itemState & ODS_SELECTED;
    RECT area{0, 0, width, height};
    ::FillRect(dc, &area, ::GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID < shares_.rows.size()) {
        const ShareRow& row = shares_.rows[item.itemID];
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const int gap = Px(6), barLeft = width * 2 / 5, figures = width - Px(130), share = width - Px(44);
        const UINT line = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
        const std::string title = form_.TitleOf(row.name, row.ids), time = DurationText(row), percent = PercentText(row);
        RECT text{gap, 0, barLeft - gap, height};
        DrawLine(dc, CodePageText::Kept(title), &text, line);
        text = RECT{figures, 0, share - gap, height};
        DrawLine(dc, CodePageText::Kept(time), &text, line | DT_RIGHT);
        text = RECT{share, 0, width - gap, height};
        DrawLine(dc, CodePageText::Kept(percent), &text, line | DT_RIGHT);
        const std::int64_t longest = std::max<std::int64_t>(1, shares_.rows.front().minutes), room = figures - gap - barLeft;
        const int length = static_cast<int>(std::max<std::int64_t>(Px(3), row.minutes * std::max<std::int64_t>(room, 0) / longest));
        const RECT bar{barLeft, Px(4), barLeft + length, height - Px(4)};
        ::FillRect(dc, &bar, ::GetSysColorBrush(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_HIGHLIGHT));
    }
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &area);
    ::BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, dc, 0, 0, SRCCOPY);
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

// The Days view charted for the row's games; for the minutes of no game, all games' chart, which holds them.
void HistoryWindow::OpenRow(int row) {
    if (row < 0 || row >= static_cast<int>(shares_.rows.size())) return;
    game_ = shares_.rows[row].games.empty() ? std::string() : shares_.rows[row].games.front();
    sharesShown_ = false;
    view_ = HistoryView::Days;
    FillGames();
    ShowView();
    Rebuild();
    ::SetFocus(chart_);
}

// Every row a line, tab-separated, for a spreadsheet.
void HistoryWindow::CopyRows() { PutOnClipboard(hwnd_, SharesText(shares_)); }

// Every message of the window passes here first: the list is asked only on a command, as it may be
// gone, or its handle another window's, while the window is made anew.
std::optional<LRESULT> HistoryWindow::HandleShares(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto chosen = [&] { return static_cast<int>(::SendMessageA(list_, LB_GETCURSEL, 0, 0)); };
    switch (message) {
    case WM_MEASUREITEM:
        if (wParam != kIdHistoryShares) return std::nullopt;
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = Px(21);  // the font's 13 pixels and a margin
        return TRUE;
    case WM_DRAWITEM:
        if (wParam != kIdHistoryShares) return std::nullopt;
        DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_VKEYTOITEM:  // Ctrl+C on the rows; other keys go on to the list
        if (reinterpret_cast<HWND>(lParam) != list_ || LOWORD(wParam) != 'C' || ::GetKeyState(VK_CONTROL) >= 0) return -1;
        CopyRows();
        return -2;
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdHistoryPeriod && HIWORD(wParam) == CBN_SELCHANGE) RebuildShares(false);
        else if (LOWORD(wParam) == kIdHistoryShares && HIWORD(wParam) == LBN_DBLCLK) OpenRow(chosen());
        else if (LOWORD(wParam) == IDOK && ::GetFocus() == list_) OpenRow(chosen());  // Enter, which the dialog keys take
        else return std::nullopt;
        return 0;
    default:
        return std::nullopt;
    }
}

}  // namespace kavri::win32
