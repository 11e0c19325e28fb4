// The play diary in "kvrdiary.csv", loaded and saved with the same care as the statistics file.
#include "app/form_kavri_meter.h"
#include "app/text_util.h"
#include "stats/stats_file.h"

namespace kavri {

std::string formKavriMeter::DiaryPath() { return InFolder(os_.windowing.AppPath(), "kvrdiary.csv"); }

std::int64_t formKavriMeter::Today() {
    const LocalDateTime now = os_.clock.Now();
    return DaysFromCivil(now.year, now.month, now.day);
}

void formKavriMeter::LoadDiary() {
    const CompanionFile file = ReadCompanion(DiaryPath(), diaryLocked);
    // Met for the first time: the diary starts from the runs list, once that is loaded.
    if (file.missing && statsLocked) diaryImportPending = true;
    else if (file.missing) ImportDiary();
    if (!file.bytes) return;
    DiaryContent content = ParseDiary(*file.bytes);
    diaryBackupPending = file.Damaged(content.clean);
    diary.Assign(std::move(content.days));
    diarySavedRevision = diary.Revision() - (file.recovered ? 1 : 0);
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
    if (diaryLocked || diaryImportPending || diary.Revision() == diarySavedRevision) return;
    const std::uint64_t revision = diary.Revision();
    if (SaveFile(DiaryPath(), InFolder(os_.windowing.AppPath(), "kvrdiary.bak"), diaryBackupPending, FormatDiary(diary)))
        diarySavedRevision = revision;
}

}  // namespace kavri
