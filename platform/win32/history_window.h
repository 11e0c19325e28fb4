// The History window: a bar chart of the minutes played per day, week or month, for all games or
// one, drawn from the diary's chart model. One at a time; Esc or the close box closes it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/form_kavri_meter.h"
#include "history/chart.h"

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
        if (hwnd_ && Titles() != titles_) FillGames();
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
    int Px(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    HINSTANCE instance_;
    formKavriMeter& form_;
    HWND hwnd_ = nullptr;
    HWND label_ = nullptr;  // "&Game:" before the chooser
    HWND combo_ = nullptr;
    HWND focus_ = nullptr;  // the control that had the focus when the window was last deactivated
    HWND views_[3] = {};
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
};

}  // namespace kavri::win32
