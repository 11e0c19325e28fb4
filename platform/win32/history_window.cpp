// The History window: the view buttons and game chooser above, the chart, and under it a line with
// the range's total or the pointed bar's period, minutes and runs. Drawn with GDI into an
// off-screen bitmap first, in system colours only.
#include "platform/win32/history_window.h"

#include <commctrl.h>

#include <algorithm>

#include "app/error_trap.h"
#include "platform/win32/code_page_calls.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/trace.h"

namespace kavri::win32 {
namespace {

// The chart's texts, the games' titles and the locale's names are kept in the code page, as the
// window's "A" calls take them.
constexpr CodePageText kViewNames[] = {"&Days", "&Weeks", "&Months", "G&ames"};

template <class Window>
Window* Self(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Windows calls these: a handler that fails is abandoned, the window goes on.
LRESULT Trapped(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, auto handle) {
    LRESULT result = 0;
    if (!Trap([&] { result = handle(); })) {
        Trace("HistoryWindow", std::to_string(message), 0);
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return result;
}

// The chart's one tooltip, placed by the window beside the pointed bar; its text goes with each
// message that needs one (SendTool).
TOOLINFOA Tool(HWND chart) {
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    info.hwnd = chart;
    info.uId = 1;
    return info;
}

std::string LocaleText(LCTYPE type) {
    char text[80] = {};
    if (!::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text)) Trace("GetLocaleInfoA", std::to_string(type), ::GetLastError());
    return text;
}

}  // namespace

bool HistoryWindow::Register() {
    WNDCLASSEXA window{};
    window.cbSize = sizeof window;
    window.lpfnWndProc = &HistoryWindow::Procedure;
    window.hInstance = instance_;
    window.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window.lpszClassName = kHistoryClass;
    WNDCLASSEXA chart = window;
    chart.lpfnWndProc = &HistoryWindow::ChartProcedure;
    chart.hbrBackground = nullptr;  // painted whole, without flicker
    chart.lpszClassName = kChartClass;
    const bool ok = (::RegisterClassExA(&window) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) &&
                    (::RegisterClassExA(&chart) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    if (!ok) Trace("RegisterClassExA", kHistoryClass, ::GetLastError());
    return ok;
}

void HistoryWindow::Open(HWND owner, HFONT font, int dpi, const std::string& game) {
    game_ = game;
    if (!game.empty()) sharesShown_ = false;  // a game's history is a chart
    if (hwnd_) {
        ShowView();
        FillGames();
        Rebuild();
        // An owned window has no taskbar button: a minimised one comes back only from here.
        if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
        ::SetForegroundWindow(hwnd_);
        return;
    }
    font_ = font;
    dpi_ = dpi;
    pointed_ = -1;
    if (!Register()) return;
    hwnd_ = CreateWindowWithText(WS_EX_CONTROLPARENT, kHistoryClass, "Kavri! Statistics - History",
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, Px(640), Px(400),
                                 owner, nullptr, instance_, this);
    if (!hwnd_) {
        Trace("CreateWindowExA", kHistoryClass, ::GetLastError());
        return;
    }
    CreateControls();
    FillGames();
    Layout();
    ShowView();
    Rebuild();
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetFocus(sharesShown_ ? list_ : chart_);
}

void HistoryWindow::CreateControls() {
    const auto add = [&](const char* type, const CodePageText& text, DWORD style, int id) {
        const HWND control = CreateWindowWithText(0, type, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, this);
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return control;
    };
    for (int view = 0; view < 4; ++view)
        views_[view] = add("BUTTON", kViewNames[view], BS_AUTORADIOBUTTON | (view == 0 ? WS_GROUP | WS_TABSTOP : 0),
                           kIdHistoryDays + view);
    label_ = add("STATIC", "&Game:", SS_RIGHT | WS_GROUP, kIdHistoryGameLabel);  // Alt+G reaches the chooser
    combo_ = add("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kIdHistoryGame);
    periodLabel_ = add("STATIC", "&Period:", SS_RIGHT | WS_GROUP, kIdHistoryPeriodLabel);
    period_ = add("COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, kIdHistoryPeriod);
    // Its window text is the selected bar's tip, which screen readers read as its name.
    chart_ = add(kChartClass, "", WS_TABSTOP | WS_GROUP, kIdHistoryChart);
    list_ = add("LISTBOX", "",
                LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT |
                    WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                kIdHistoryShares);
    status_ = add("STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, kIdHistoryStatus);
    FillPeriods();
    tip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    SendTool(tip_, TTM_ADDTOOLA, 0, Tool(chart_), "");
}

// The diary's games, most played first; then the games played without minutes in the diary yet,
// a game first played while the window is open among them; last the game asked for.
std::vector<std::string> HistoryWindow::ChooserGames() const {
    std::vector<std::string> games;
    const auto add = [&](const std::string& id) {
        const bool known = std::any_of(games.begin(), games.end(),
                                       [&](const std::string& g) { return ::lstrcmpiA(g.c_str(), id.c_str()) == 0; });
        if (!id.empty() && !known) games.push_back(id);
    };
    for (const auto& [id, minutes] : GamesByMinutes(form_.diary.Days())) add(id);
    for (const GameTotal& game : form_.gameTotals.Games()) add(game.id);
    add(game_);
    return games;
}

// The games' names beside their identifiers; games that share a name are one choice.
std::vector<ChooserEntry> HistoryWindow::Entries() const {
    const std::vector<std::string> games = ChooserGames();
    std::vector<std::string> names, titles;
    for (const std::string& id : games) {
        names.push_back(form_.GameName(id));
        titles.push_back(form_.GameTitle(id));
    }
    return GroupByName(games, names, titles);
}

std::vector<std::string> HistoryWindow::Titles() const {
    std::vector<std::string> titles;
    for (const ChooserEntry& entry : Entries()) titles.push_back(entry.title);
    return titles;
}

// "All games", then the games; the chosen game stays chosen.
void HistoryWindow::FillGames() {
    const std::vector<ChooserEntry> entries = Entries();
    games_.clear();
    titles_.clear();
    ::SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
    SendLine(combo_, CB_ADDSTRING, 0, "All games");
    int chosen = 0;
    for (const ChooserEntry& entry : entries) {
        const int at = static_cast<int>(SendLine(combo_, CB_ADDSTRING, 0, CodePageText::Kept(entry.title)));
        for (const std::string& id : entry.games)
            if (!game_.empty() && ::lstrcmpiA(id.c_str(), game_.c_str()) == 0) chosen = at;
        games_.push_back(entry.games);
        titles_.push_back(entry.title);
    }
    ::SendMessageA(combo_, CB_SETCURSEL, chosen, 0);
}

void HistoryWindow::Layout() {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int margin = Px(8), row = Px(23), line = Px(20);
    for (int view = 0; view < 4; ++view)
        ::MoveWindow(views_[view], margin + view * Px(72), margin, Px(68), row, TRUE);
    const int labelLeft = margin + 4 * Px(72), comboLeft = labelLeft + Px(48);
    for (const HWND label : {label_, periodLabel_}) ::MoveWindow(label, labelLeft, margin + Px(4), Px(44), row - Px(4), TRUE);
    for (const HWND combo : {combo_, period_})
        ::MoveWindow(combo, comboLeft, margin, std::max<int>(Px(120), client.right - margin - comboLeft), Px(200), TRUE);
    const int chartTop = margin + row + margin;
    const int statusTop = client.bottom - margin - line;
    for (const HWND chart : {chart_, list_})
        ::MoveWindow(chart, margin, chartTop, client.right - 2 * margin, std::max<int>(0, statusTop - chartTop - Px(4)), TRUE);
    ::InvalidateRect(list_, nullptr, FALSE);  // its rows' bars take the new width
    ::MoveWindow(status_, margin, statusTop, client.right - 2 * margin, line, TRUE);
}

ChartLocale HistoryWindow::Locale() const {
    ChartLocale locale;
    for (int day = 0; day < 7; ++day)  // Windows counts from Monday
        locale.dayNames[(day + 1) % 7] = LocaleText(LOCALE_SABBREVDAYNAME1 + day);
    for (int month = 0; month < 12; ++month) locale.monthNames[month] = LocaleText(LOCALE_SABBREVMONTHNAME1 + month);
    locale.firstDayOfWeek = (std::atoi(LocaleText(LOCALE_IFIRSTDAYOFWEEK).c_str()) + 1) % 7;
    return locale;
}

// The chart anew from the diary, the view and the chosen game.
void HistoryWindow::Rebuild() {
    if (sharesShown_) return RebuildShares(false);
    const int chosen = static_cast<int>(::SendMessageA(combo_, CB_GETCURSEL, 0, 0));
    const std::vector<std::string> games = chosen > 0 && chosen <= static_cast<int>(games_.size()) ? games_[chosen - 1]
                                                                                               : std::vector<std::string>();
    game_ = games.empty() ? std::string() : games.front();
    drawnDay_ = form_.Today();
    model_ = MakeChart(form_.diary.Days(), view_, drawnDay_, games, Locale());
    drawnRevision_ = form_.diary.Revision();
    pointed_ = std::min(pointed_, static_cast<int>(model_.bars.size()) - 1);
    Point(pointed_, false);
    ::InvalidateRect(chart_, nullptr, FALSE);
}

void HistoryWindow::Refresh() {
    if (!hwnd_) return;
    Retitle();
    if (sharesShown_ && (form_.diary.Revision() + form_.gameTotals.Revision() != drawnShares_ || form_.Today() != drawnDay_))
        RebuildShares(true);
    else if (!sharesShown_ && (form_.diary.Revision() != drawnRevision_ || form_.Today() != drawnDay_))
        Rebuild();
}

void HistoryWindow::HideTip() { SendTool(tip_, TTM_TRACKACTIVATE, FALSE, Tool(chart_), ""); }

// The pointed bar's tip in the line under the chart, and beside the bar when asked; the range's
// total when no bar is pointed at.
void HistoryWindow::Point(int bar, bool tip) {
    pointed_ = bar;
    const bool pointing = bar >= 0 && bar < static_cast<int>(model_.bars.size());
    tipText_ = pointing ? model_.bars[bar].tip : model_.total;
    const CodePageText text = CodePageText::Kept(tipText_);
    SetText(status_, text);
    SetText(chart_, text);
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, chart_, OBJID_CLIENT, CHILDID_SELF);
    const TOOLINFOA info = Tool(chart_);
    if (!tip || !pointing || bar >= static_cast<int>(bars_.size())) {
        SendTool(tip_, TTM_TRACKACTIVATE, FALSE, info, text);
        return;
    }
    SendTool(tip_, TTM_UPDATETIPTEXTA, 0, info, text);
    POINT at{bars_[bar].left, bars_[bar].top};
    ::ClientToScreen(chart_, &at);
    ::SendMessageA(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y - Px(24)));
    SendTool(tip_, TTM_TRACKACTIVATE, TRUE, info, text);
}

int HistoryWindow::BarAt(POINT at) const {
    for (std::size_t i = 0; i < bars_.size(); ++i)
        if (::PtInRect(&bars_[i], at)) return static_cast<int>(i);
    return -1;
}

void HistoryWindow::Paint(HDC dc, const RECT& area) {
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_WINDOW));
    const HGDIOBJ oldFont = ::SelectObject(dc, font_);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    TEXTMETRICA metrics;
    ::GetTextMetricsA(dc, &metrics);
    int axis = 0;
    for (const ChartTick& tick : model_.ticks) {
        axis = std::max<int>(axis, TextExtent(dc, CodePageText::Kept(tick.label)).cx);
    }
    const RECT plot{area.left + axis + Px(8), area.top + metrics.tmHeight, area.right - Px(4),
                    area.bottom - metrics.tmHeight - Px(6)};
    const int height = std::max<int>(1, plot.bottom - plot.top);
    // The scale: a line and a label at each step.
    const HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_GRAYTEXT));
    const HGDIOBJ oldPen = ::SelectObject(dc, pen);
    for (const ChartTick& tick : model_.ticks) {
        const int y = plot.bottom - MulDiv(tick.minutes, height, model_.scaleTop);
        ::MoveToEx(dc, plot.left, y, nullptr);
        ::LineTo(dc, plot.right, y);
        RECT label{area.left, y - metrics.tmHeight / 2, plot.left - Px(4), y + metrics.tmHeight};
        DrawLine(dc, CodePageText::Kept(tick.label), &label, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::MoveToEx(dc, plot.left, plot.bottom, nullptr);
    ::LineTo(dc, plot.right, plot.bottom);
    // The bars, each in its column, with its period's label under it.
    const int count = static_cast<int>(model_.bars.size());
    bars_.assign(count, RECT{});
    for (int i = 0; i < count; ++i) {
        const ChartBar& bar = model_.bars[i];
        const int left = plot.left + MulDiv(i, plot.right - plot.left, count);
        const int right = plot.left + MulDiv(i + 1, plot.right - plot.left, count);
        const int gap = (right - left) / 6;
        bars_[i] = RECT{left, plot.top, right, plot.bottom};
        if (bar.minutes > 0) {
            const RECT filled{left + gap, plot.bottom - MulDiv(bar.minutes, height, model_.scaleTop), right - gap, plot.bottom};
            ::FillRect(dc, &filled, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        RECT label{left, plot.bottom + Px(3), right, area.bottom};
        DrawLine(dc, CodePageText::Kept(bar.label), &label, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        if (i == pointed_ && ::GetFocus() == chart_) {
            RECT focus{left + 1, plot.top, right - 1, plot.bottom + 1};
            ::DrawFocusRect(dc, &focus);
        }
    }
    // Focused without a chosen bar, the whole chart shows the focus; the arrow keys choose one.
    if (pointed_ < 0 && ::GetFocus() == chart_) {
        RECT focus{plot.left - 2, plot.top - 2, plot.right + 2, plot.bottom + 2};
        ::DrawFocusRect(dc, &focus);
    }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
    ::SelectObject(dc, oldFont);
}

LRESULT CALLBACK HistoryWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    HistoryWindow* self = Self<HistoryWindow>(hwnd, message, lParam);
    if (!self || hwnd != self->hwnd_) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return Trapped(hwnd, message, wParam, lParam, [&] { return self->Handle(message, wParam, lParam); });
}

LRESULT HistoryWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto handled = HandleShares(message, wParam, lParam)) return *handled;
    switch (message) {
    case WM_SIZE:
        HideTip();
        Layout();
        return 0;
    case WM_MOVE:
        HideTip();  // it would stay where the bar was
        return 0;
    case WM_ACTIVATE:
        // Away: no tip floats over other programs. Back: the focus returns where it was.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HideTip();
            focus_ = ::GetFocus();
        } else if (focus_ && ::IsChild(hwnd_, focus_)) {
            ::SetFocus(focus_);
            return 0;
        }
        return ::DefWindowProcA(hwnd_, message, wParam, lParam);
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{Px(480), Px(300)};
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            ::DestroyWindow(hwnd_);
        } else if (LOWORD(wParam) >= kIdHistoryDays && LOWORD(wParam) < kIdHistoryDays + 4 && HIWORD(wParam) == BN_CLICKED) {
            sharesShown_ = LOWORD(wParam) == kIdHistoryDays + 3;
            if (!sharesShown_) view_ = static_cast<HistoryView>(LOWORD(wParam) - kIdHistoryDays);
            ShowView();
            Rebuild();
        } else if (LOWORD(wParam) == kIdHistoryGame && HIWORD(wParam) == CBN_SELCHANGE) {
            Rebuild();
        }
        return 0;
    case WM_NEXTDLGCTL:  // a label's mnemonic moves the focus on to its control, as in a dialog
        ::SetFocus(lParam ? reinterpret_cast<HWND>(wParam) : ::GetNextDlgTabItem(hwnd_, ::GetFocus(), wParam != 0));
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        hwnd_ = nullptr;  // the program goes on
        bars_.clear();
        return 0;
    default:
        return ::DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

LRESULT CALLBACK HistoryWindow::ChartProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    HistoryWindow* self = Self<HistoryWindow>(hwnd, message, lParam);
    if (!self || !self->hwnd_ || hwnd != self->chart_) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return Trapped(hwnd, message, wParam, lParam, [&] { return self->HandleChart(message, wParam, lParam); });
}

LRESULT HistoryWindow::HandleChart(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = ::BeginPaint(chart_, &paint);
        RECT area;
        ::GetClientRect(chart_, &area);
        // Drawn whole off screen, then copied in one piece: no flicker.
        const HDC memory = ::CreateCompatibleDC(dc);
        const HBITMAP bitmap = ::CreateCompatibleBitmap(dc, std::max<LONG>(1, area.right), std::max<LONG>(1, area.bottom));
        const HGDIOBJ old = ::SelectObject(memory, bitmap);
        Paint(memory, area);
        ::BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::EndPaint(chart_, &paint);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
        ::InvalidateRect(chart_, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        HideTip();
        ::InvalidateRect(chart_, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        ::SetFocus(chart_);
        return 0;
    case WM_KEYDOWN: {
        const int last = static_cast<int>(model_.bars.size()) - 1;
        int bar = pointed_ < 0 ? last : pointed_;
        if (wParam == VK_LEFT) bar = std::max(0, bar - 1);
        else if (wParam == VK_RIGHT) bar = std::min(last, pointed_ < 0 ? last : bar + 1);
        else if (wParam == VK_HOME) bar = 0;
        else if (wParam == VK_END) bar = last;
        else return ::DefWindowProcA(chart_, message, wParam, lParam);
        Point(bar, true);
        ::InvalidateRect(chart_, nullptr, FALSE);
        return 0;
    }
    case WM_MOUSEMOVE: {
        const int bar = BarAt(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        if (bar != pointed_) Point(bar, true);
        TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, chart_, 0};
        ::TrackMouseEvent(&leave);
        return 0;
    }
    case WM_MOUSELEAVE:
        Point(-1, false);
        return 0;
    default:
        return ::DefWindowProcA(chart_, message, wParam, lParam);
    }
}

}  // namespace kavri::win32
