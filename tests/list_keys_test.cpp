#include "tests/harness.h"

namespace kavri::test {
namespace {

void Press(formKavriMeter& form, ListBox& list, int selected, std::int16_t key, bool games) {
    list.Select(selected);
    std::int16_t code = key;
    games ? form.lstGames_KeyDown(code, 1) : form.lstTimes_KeyDown(code, 1);  // Shift held
    EXPECT_EQ(code, key);  // the list box goes on handling the key
}

TEST(DeleteKey, RunsListKeepsLineZero) {
    Harness h;
    for (const char* line : {"r0", "r1", "r2", "r3", "r4"}) h.form.lstTimes.Append(line);
    Press(h.form, h.form.lstTimes, 0, 46, false);
    Press(h.form, h.form.lstTimes, -1, 46, false);
    Press(h.form, h.form.lstTimes, 3, 40, false);  // any other key
    EXPECT_EQ(h.form.lstTimes.Count(), 5);
    Press(h.form, h.form.lstTimes, 3, 46, false);
    EXPECT_EQ(h.form.lstTimes.Lines(), (std::vector<std::string>{"r0", "r1", "r2", "r4"}));
}

TEST(DeleteKey, GamesListRemovesAnyLineAndStopsTheCurrentGamesRefresh) {
    Harness h;
    h.Emulator(true);
    for (const char* line : {"g0", "g1", "g2"}) h.form.lstGames.Append(line);
    h.form.currentEntry = "g2";
    h.form.currentIndex = 2;
    Press(h.form, h.form.lstGames, -1, 46, true);
    Press(h.form, h.form.lstGames, 1, 13, true);
    EXPECT_EQ(h.form.lstGames.Count(), 3);
    EXPECT_EQ(h.form.currentIndex, 2);
    Press(h.form, h.form.lstGames, 0, 46, true);
    EXPECT_EQ(h.form.currentIndex, -1);
    h.form.Timer1_Timer();
    EXPECT_EQ(h.form.lstGames.Lines(), (std::vector<std::string>{"g1", "g2"}));
}

}  // namespace
}  // namespace kavri::test
