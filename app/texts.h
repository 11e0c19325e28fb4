// The program's fixed texts.
#pragma once

namespace kavri::texts {

inline constexpr const char* kCaption = "Kavri! Statistics 1.0";
inline constexpr const char* kAuthorCredit = "by Quillon";
inline constexpr const char* kTitle = "Kavri! Usage Meter (Executions/Time)";
inline constexpr const char* kRefresh = "Refresh";
inline constexpr const char* kHistory = "History";
inline constexpr const char* kPlayedGames = "Played Games";
inline constexpr const char* kLastUsed = "Last Used:";
inline constexpr const char* kDayHeadings[8] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Total"};
inline constexpr const char* kFirstWebPage = "https://quillon.example/";
inline constexpr const char* kSecondWebPage = "https://kavristat.quillon.example/";

inline constexpr const char* kMenuShow = "Open Statistics...";
inline constexpr const char* kMenuAbout = "About Tallyo 1.0...";
inline constexpr const char* kMenuExit = "E&xit";

}  // namespace kavri::texts
