// Parses arbitrary bytes as the diary file: the days they yield, saved, read back cleanly as
// exactly those days, and drawn as every view of the History chart, for all games and for each;
// and a diary built from arbitrary runs-list lines saves and reads back too.
#include <cstdint>
#include <string>
#include <vector>

#include "history/chart.h"
#include "history/diary.h"

namespace {

void RoundTrip(const kavri::DiaryDays& days) {
    kavri::Diary diary;
    diary.Assign(days);
    const kavri::DiaryContent again = kavri::ParseDiary(kavri::FormatDiary(diary));
    if (!again.clean || again.days != days) __builtin_trap();
}

// Every view of the chart, ending on the diary's last day and on its first; bars never negative.
void Draw(const kavri::DiaryDays& days) {
    if (days.empty()) return;
    const kavri::ChartLocale locale{{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
                                    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
                                    static_cast<int>(days.size() % 7)};
    std::vector<std::string> games{""};
    for (const auto& [id, minutes] : kavri::GamesByMinutes(days)) games.push_back(id);
    for (const auto view : {kavri::HistoryView::Days, kavri::HistoryView::Weeks, kavri::HistoryView::Months})
        for (const std::int64_t today : {days.rbegin()->first, days.begin()->first})
            for (const std::string& game : games)
                for (const kavri::ChartBar& bar :
                     kavri::MakeChart(days, view, today, game.empty() ? std::vector<std::string>() : std::vector{game}, locale).bars)
                    if (bar.minutes < 0 || bar.runs < 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const kavri::DiaryDays days = kavri::ParseDiary(bytes).days;
    RoundTrip(days);
    Draw(days);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    RoundTrip(kavri::DiaryFromRuns(lines, lines, {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}));
    return 0;
}
