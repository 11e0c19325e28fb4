// Window size and control positions in twips (1440 to the inch), inside the client area.
#pragma once

namespace kavri::layout {

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kClientWidth = 6960;
inline constexpr int kClientHeight = 5355;

inline constexpr TwipsRect kImage2{60, 60, 555, 525};
inline constexpr TwipsRect kLabel1{840, 360, 2955, 255};
inline constexpr TwipsRect kLblCredits{3900, 360, 1935, 255};
inline constexpr TwipsRect kBtnRefresh{5940, 240, 975, 375};
inline constexpr TwipsRect kFrame1{0, 1560, 6975, 75};
inline constexpr TwipsRect kLblGames{60, 1680, 1095, 195};
inline constexpr TwipsRect kLblTimesUsed{4260, 1680, 795, 195};
inline constexpr TwipsRect kLstGames{60, 1920, 4155, 3375};
inline constexpr TwipsRect kBtnHistory{3300, 1650, 915, 255};  // above the games list's right end
inline constexpr TwipsRect kBtnOptions{2340, 1650, 915, 255};  // beside it
inline constexpr TwipsRect kLstTimes{4260, 1920, 2655, 3375};

// Day slot i (0..7): run count, heading and duration labels. Slot 7 (Total) is wider.
constexpr TwipsRect LblTimes(int i) { return i < 7 ? TwipsRect{60 + 840 * i, 720, 855, 255} : TwipsRect{5940, 720, 975, 255}; }
constexpr TwipsRect LblDay(int i) { return TwipsRect{60 + 840 * i, 1020, 615, 195}; }
constexpr TwipsRect LblTime(int i) { return i < 7 ? TwipsRect{60 + 840 * i, 1260, 855, 255} : TwipsRect{5940, 1260, 975, 255}; }

}  // namespace kavri::layout
