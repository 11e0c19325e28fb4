// The monitor tick: counts runs, credits minutes, refreshes the current lines, probes the discs.
#include <algorithm>
#include <limits>

#include "app/form_kavri_meter.h"
#include "stats/duration.h"
#include "stats/number_text.h"

namespace kavri {
namespace {

constexpr int kTotal = 7;
constexpr int kRunsKept = 300;

std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

void formKavriMeter::Timer1_Timer() {
    if (!trayAdded) RestoreTrayIcon();
    RetryLockedLoad();
    RetryLockedOptions();
    if (IsRunningApp()) {
        const int day = os_.clock.Weekday(os_.clock.Now()) - 1;
        // Minute boundaries crossed since the last tick, on the UTC clock: daylight saving and a
        // change of time zone move the local clock, not the time played. A change the user makes
        // to the clock moves both alike.
        std::int64_t minutes = os_.clock.UtcMinutes() - lastTickMinute;
        // Time the computer slept or hibernated is not play: its whole minutes come off the
        // boundaries crossed since the last tick, and counting goes on from now.
        const std::uint64_t asleepNow = os_.clock.MillisecondsAsleep();
        const std::int64_t asleep = asleepNow > lastTickAsleep ? static_cast<std::int64_t>((asleepNow - lastTickAsleep) / 60000) : 0;
        if (asleep >= 1) minutes = std::max<std::int64_t>(0, minutes - asleep);
        if (!emulatorRunning) CountRunStart(day);
        const bool inRange = minutes >= std::numeric_limits<std::int16_t>::min() &&
                             minutes <= std::numeric_limits<std::int16_t>::max();
        // A gap beyond 16 bits of minutes is a clock change or a suspension, not play.
        const std::int32_t crossed = minutes >= 1 && inRange ? static_cast<std::int32_t>(minutes) : 0;
        if (crossed >= 1 || asleep >= 1 || !inRange) MarkTickTime();
        // The minutes of the game whose line the tick refreshes go to its total too.
        CreditPlayed(idle.TakeDue(MinutesCrossed(day, crossed), AwakeSeconds(os_.clock)));
        ShowRunAndGame();
        emulatorRunning = true;
    } else {
        // A short pause, then quitting, is play: what was held back within the limit counts.
        if (emulatorRunning) CreditPlayed(idle.TakeAtEnd());
        currentIndex = -1;
        currentEntry.clear();
        runMinutes = 0;
        gameMinutes = 0;
        emulatorRunning = false;
        MarkTickTime();
    }
    UpdatePadTimer();
    ProbeDiscs();
    ProbeImages();
    SaveChanged();
    ShowPendingNotices();
}

void formKavriMeter::SaveChanged() {
    if (ModelRevision() != statsFile.savedRevision) SaveStats();
    SaveTotals();
    SaveDiary();
    SaveOptions();
}

void formKavriMeter::CountRunStart(int day) {
    for (int slot : {day, kTotal}) lblTimes[slot].SetCaption(AddToNumberText(lblTimes[slot].Caption(), 1));
    diary.AddRun(Today());
    idle.BeginRun(os_.input, AwakeSeconds(os_.clock));
    runStartText = os_.clock.DateText(os_.clock.Now());
    if (lstTimes.Count() > kRunsKept) lstTimes.Remove(lstTimes.Count() - 1);
    lstTimes.InsertTop(runStartText);
}

// Each credit goes to the run going on: minutes are held only while it lasts.
void formKavriMeter::Credit(const PlayedMinute& first, std::int32_t minutes) {
    runMinutes = SaturatingAdd(runMinutes, minutes);
    CreditPlay(first.play, minutes);
    if (!first.game.empty()) gameTotals.Add(first.game, minutes);
    diary.AddMinutes(first.date, first.game, minutes);
    for (int slot : {first.day, kTotal}) lblTime[slot].SetTag(AddToNumberText(lblTime[slot].Tag(), minutes));
    for (int slot : {first.day, kTotal})
        lblTime[slot].SetCaption(FormatDuration(TextAsInt32(lblTime[slot].Tag()).value_or(0)));
}

// The play timed now shows its minutes at the tick; one that ended while its minutes were held
// gets them on its own line, when the line still holds that play.
void formKavriMeter::CreditPlay(const std::string& play, std::int32_t minutes) {
    if (play.empty()) return;
    if (HasCurrentGame() && play == currentEntry) {
        gameMinutes = SaturatingAdd(gameMinutes, minutes);
        return;
    }
    for (int i = 0; i < lstGames.Count(); ++i) {
        const std::string& line = lstGames.Line(i);
        if (!line.starts_with(play) || (line.size() > play.size() && line.compare(play.size(), 3, " - ") != 0)) continue;
        const std::int32_t shown = line.size() > play.size() ? ParseDuration(line.substr(play.size() + 3)).value_or(0) : 0;
        return lstGames.Replace(i, play + " - " + FormatDuration(SaturatingAdd(shown, minutes)));
    }
}

void formKavriMeter::ShowRunAndGame() {
    lstTimes.Replace(0, runStartText + " - " + FormatDuration(runMinutes));
    if (HasCurrentGame()) lstGames.Replace(currentIndex, currentEntry + " - " + FormatDuration(gameMinutes));
}

// A games line is being timed: the one the tick refreshes, and whose game gets the minutes.
bool formKavriMeter::HasCurrentGame() const {
    return !currentEntry.empty() && currentIndex >= 0 && currentIndex < lstGames.Count();
}

void formKavriMeter::MarkTickTime() {
    lastTickMinute = os_.clock.UtcMinutes();
    lastTickAsleep = os_.clock.MillisecondsAsleep();
}

}  // namespace kavri
