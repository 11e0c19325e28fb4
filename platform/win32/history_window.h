// The History window: a bar chart of the minutes played per day, week or month, for all games or
// one, drawn from the diary's chart model; or the Games view, a bar per game for a period. One at
// a time; Esc or the close box closes it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/form_kavri_meter.h"
#include "history/chart.h"
#include "history/game_shares.h"

namespace kavri::win32 {

class HistoryWindow {
public:
    HistoryWindow(HINSTANCE instance, formKavriMeter& form) : instance_(instance), form_(form) {}
    // Opens the window showing game (empty: all games), or brings the open one forward.
    void Open(HWND owner, HFONT font, int dpi, const std::string& game);
    // After a tick: draws the diary again if it changed or the date moved on while the window is
    // open, and the chooser takes a game first played meanwhile.
    void Refresh();
    // After the games list was edited, a game named or names imported: the chooser is made anew
    // when a name or the set of games changed.
    void Retitle() {
        if (!hwnd_ || Titles() == titles_) return;
        FillGames();
        if (sharesShown_) RebuildShares(true);
    }
    // Keyboard navigation between the window's controls, for the message loop.
    bool IsDialogMessage(MSG& msg) { return hwnd_ && ::IsDialogMessageA(hwnd_, &msg); }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ChartProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleChart(UINT message, WPARAM wParam, LPARAM lParam);
    bool Register();
    void CreateControls();
    // The games the chooser offers after "All games", and what it shows for each.
    std::vector<std::string> ChooserGames() const;
    std::vector<ChooserEntry> Entries() const;
    std::vector<std::string> Titles() const;
    void FillGames();
    void HideTip();
    void Layout();
    void Rebuild();
    void Paint(HDC dc, const RECT& area);
    int BarAt(POINT at) const;
    void Point(int bar, bool tip);
    ChartLocale Locale() const;
    // The Games view (history_games.cpp): a list box of owner-drawn rows, whose texts screen
    // readers read; the game chooser and chart give way to it and the period chooser.
    void FillPeriods();
    void ShowView();
    void RebuildShares(bool keepPlace);
    std::string RowText(const ShareRow& row);
    void DrawRow(const DRAWITEMSTRUCT& item);
    void OpenRow(int row);
    void CopyRows();
    std::optional<LRESULT> HandleShares(UINT message, WPARAM wParam, LPARAM lParam);
    int Px(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    HINSTANCE instance_;
    formKavriMeter& form_;
    HWND hwnd_ = nullptr;
    HWND label_ = nullptr;  // "&Game:" before the chooser
    HWND combo_ = nullptr;
    HWND focus_ = nullptr;  // the control that had the focus when the window was last deactivated
    HWND views_[4] = {};
    HWND chart_ = nullptr;
    HWND status_ = nullptr;
    HWND tip_ = nullptr;
    HFONT font_ = nullptr;
    int dpi_ = 96;
    HistoryView view_ = HistoryView::Days;
    std::string game_;
    std::vector<std::vector<std::string>> games_;  // the games of each choice after "All games"
    std::vector<std::string> titles_;  // and what it shows for each
    Chart model_;
    std::vector<RECT> bars_;  // where each bar's column lies in the chart
    int pointed_ = -1;        // the bar under the cursor or chosen with the arrow keys
    std::uint64_t drawnRevision_ = 0;
    std::int64_t drawnDay_ = 0;  // the day the chart ends on
    std::string tipText_;
    HWND periodLabel_ = nullptr;  // "&Period:" before the period chooser
    HWND period_ = nullptr;
    HWND list_ = nullptr;
    bool sharesShown_ = false;  // the Games view, not the chart
    GameShares shares_;
    std::vector<std::string> rowTexts_;  // each row's line in the list box
    std::uint64_t drawnShares_ = 0;      // the diary's and totals' revisions the rows show
};

}  // namespace kavri::win32
