// Child-window identifiers of the main window; the end-to-end probe reads controls by them.
#pragma once

namespace kavri::win32 {

inline constexpr const char* kWindowClass = "KavriStatWindow";
inline constexpr unsigned kTimerId = 1;             // Timer1
inline constexpr unsigned kPadTimerId = 2;          // PadTimer
inline constexpr unsigned kLoadMessage = 0x8000 + 1;  // WM_APP + 1: the window is created, run Form_Load

// The History window and its controls.
inline constexpr const char* kHistoryClass = "KavriStatHistory";
inline constexpr const char* kChartClass = "KavriStatChart";
enum HistoryControlId : int {
    kIdHistoryGame = 200,
    kIdHistoryDays = 201,  // + view 0..3: Days, Weeks, Months, Games
    kIdHistoryChart = 210,
    kIdHistoryStatus = 211,
    kIdHistoryGameLabel = 212,
    kIdHistoryShares = 213,  // the Games view's rows
    kIdHistoryPeriod = 214,
    kIdHistoryPeriodLabel = 215,
};

enum ControlId : int {
    kIdRefresh = 100,
    kIdTimes = 101,
    kIdGames = 102,
    kIdFrame = 103,
    kIdTitle = 104,
    kIdLogo = 105,
    kIdCredits = 106,
    kIdTimesUsed = 107,
    kIdGamesHeading = 108,
    kIdHistory = 109,
    kIdOptions = 140,
    kIdRunCount = 110,  // + slot 0..7
    kIdDuration = 120,  // + slot 0..7
    kIdDay = 130,       // + slot 0..7
};

}  // namespace kavri::win32
