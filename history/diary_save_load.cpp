// The play diary in "kvrdiary.csv", loaded and saved with the same care as the statistics file.
#include "app/form_kavri_meter.h"
#include "base/text_util.h"
#include "stats/number_text.h"
#include "stats/stats_file.h"

namespace kavri {

std::int64_t formKavriMeter::Today() {
    const LocalDateTime now = os_.clock.Now();
    return DaysFromCivil(now.year, now.month, now.day);
}

// All time is the totals' and the statistics file's Total, which reach back before the diary.
GameShares formKavriMeter::Shares(SharePeriod period) {
    // Both held to 32 bits: the file may hold a count such as "1e30", which no integer holds.
    const AllTimeTotal allTime{TextAsInt32(lblTime[7].Tag()).value_or(0), SaturateInt32(ReadNumber(lblTimes[7].Caption()))};
    return MakeGameShares(diary.Days(), gameTotals, allTime, [this](std::string_view id) { return GameName(std::string(id)); },
                          period, Today());
}

void formKavriMeter::LoadDiary() {
    const auto bytes = LoadKept(diaryFile, kStatsReadLimit);
    // Met for the first time: the diary starts from the runs list, once that is loaded.
    if (diaryFile.missing && statsFile.locked) diaryImportPending = true;
    else if (diaryFile.missing) ImportDiary();
    if (!bytes) return;
    DiaryContent content = ParseDiary(*bytes);
    diary.Assign(std::move(content.days));
    Loaded(diaryFile, content.clean, bytes->size(), kStatsReadLimit, diary.Revision());
}

void formKavriMeter::ImportDiary() {
    diaryImportPending = false;
    DiaryDays days = DiaryFromRuns(lstTimes.Lines(), lstGames.Lines(), MonthNames());
    if (!days.empty()) diary.Assign(std::move(days));
}

std::vector<std::string> formKavriMeter::MonthNames() {
    std::vector<std::string> names;
    for (int month = 1; month <= 12; ++month) {
        const std::string text = os_.clock.DateText(LocalDateTime{2000, month, 1, 0, 0, 0});
        names.push_back(text.substr(0, text.rfind(" 01, 2000")));
    }
    for (const char* english : {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"})
        names.push_back(english);
    return names;
}

// Held back while it waits for the runs list: a diary file would stop its import for good.
void formKavriMeter::SaveDiary() {
    if (!diaryImportPending && diary.Revision() != diaryFile.savedRevision)
        SaveKept(diaryFile, diary.Revision(), FormatDiary(diary));
}

}  // namespace kavri
