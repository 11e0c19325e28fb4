// Time away from the game is not play, once the user says so in Options: while the emulator runs,
// the pads, the keyboard and the mouse are looked at about once a second, and the minutes after the
// last sign of a player are held back until one comes again within the idle limit. The choice is
// kept in "kvroptions.csv" with the same care as every kept file; off, nothing changes.
#include "app/form_kavri_meter.h"

namespace kavri {
namespace {

constexpr std::size_t kOptionsReadLimit = 64 * 1024;  // far above the two lines the file holds

}  // namespace

void formKavriMeter::PadTimer_Timer() {
    if (emulatorRunning) idle.Poll(os_.input, AwakeSeconds(os_.clock));
}

void formKavriMeter::btnOptions_Click() {
    const auto chosen = os_.windowing.AskIdleOptions(idle.Options(), IdleBlindText(),
                                                     [](const std::string& text) { return IdleLimitProblem(text); });
    if (!chosen) return;
    CreditPlayed(idle.Choose(*chosen, os_.input, emulatorRunning, AwakeSeconds(os_.clock)));
    UpdatePadTimer();
    SaveOptions();
    ShowPendingNotices();
}

void formKavriMeter::DevicesChanged() { idle.DevicesChanged(); }

// A missing file means off; a damaged or newer one leaves it off, is told of once, and a damaged
// one is kept whole beside before a choice replaces it. One restored from the copy of a rewrite
// cut short is written back at the next tick.
void formKavriMeter::LoadOptions() {
    const auto bytes = LoadKept(optionsFile, kOptionsReadLimit);
    if (bytes) ApplyLoadedOptions(*bytes);
}

void formKavriMeter::ApplyLoadedOptions(const std::string& bytes) {
    const IdleOptionsContent content = ParseIdleOptions(bytes);
    idle.Load(content);
    if (!content.clean) ReportProblem(Notice::OptionsIgnored, optionsFile.path);
    Loaded(optionsFile, content.clean, bytes.size(), kOptionsReadLimit, idle.Revision());
}

// Read once free and applied as at start; a run going on is judged by it from now. A choice taken
// meanwhile is saved by SaveOptions instead, which reads the file again first.
void formKavriMeter::RetryLockedOptions() {
    if (!optionsFile.locked || idle.Revision() != optionsFile.savedRevision) return;
    const auto bytes = os_.files.ReadText(optionsFile.path, kOptionsReadLimit);
    if (!bytes && FileExists(optionsFile.path)) return;
    optionsFile.locked = false;
    ForgetNotices(optionsFile.path);
    if (!bytes) return;
    ApplyLoadedOptions(*bytes);
    if (emulatorRunning) idle.BeginRun(os_.input, AwakeSeconds(os_.clock));
    UpdatePadTimer();
}

void formKavriMeter::SaveOptions() {
    if (idle.Revision() == optionsFile.savedRevision || idle.FileNewer()) return;
    if (optionsFile.locked && !RereadLockedOptions()) return;
    SaveKept(optionsFile, idle.Revision(), FormatIdleOptions(idle.Options()));
}

// Read again before a choice replaces it: still unreadable, the user is told and it is tried at
// every tick; a later version's is never replaced; a damaged one is kept whole first.
bool formKavriMeter::RereadLockedOptions() {
    const auto bytes = os_.files.ReadText(optionsFile.path, kOptionsReadLimit);
    if (!bytes && FileExists(optionsFile.path)) {
        ReportProblem(Notice::SaveHeld, optionsFile.path);
        return false;
    }
    optionsFile.locked = false;
    ForgetNotices(optionsFile.path);
    const IdleOptionsContent content = ParseIdleOptions(bytes.value_or(""));
    if (content.newer) idle.SetFileNewer();
    optionsFile.backupPending = bytes && (!content.clean || bytes->size() >= kOptionsReadLimit);
    return !content.newer;
}

std::string formKavriMeter::IdleBlindText() {
    switch (idle.Blind(os_.input)) {
    case IdleBlind::NoXInput: return "Idle time is not measured: Windows has no XInput here to read game pads.";
    case IdleBlind::OtherController:
        return "Idle time is not measured: a controller is connected that only the game can read.";
    case IdleBlind::No: break;
    }
    return {};
}

void formKavriMeter::CreditHeldAtExit() {
    if (!emulatorRunning) return;
    CreditPlayed(idle.TakeAtEnd());
    SaveChanged();
}

std::vector<PlayedMinute> formKavriMeter::MinutesCrossed(int day, std::int32_t minutes) {
    const std::int64_t now = os_.clock.UtcSeconds(), awake = AwakeSeconds(os_.clock), date = Today();
    const bool timed = HasCurrentGame();
    std::vector<PlayedMinute> crossed;
    for (std::int32_t i = minutes; i > 0; --i)
        crossed.push_back({awake - now % 60 - (i - 1) * 60, day, date, timed ? currentGameId : std::string(),
                           timed ? currentEntry : std::string()});
    return crossed;
}

void formKavriMeter::CreditPlayed(const std::vector<PlayedMinute>& minutes) {
    for (std::size_t i = 0; i < minutes.size();) {
        const PlayedMinute& first = minutes[i];
        std::size_t end = i + 1;
        while (end < minutes.size() && minutes[end].day == first.day && minutes[end].date == first.date &&
               minutes[end].game == first.game && minutes[end].play == first.play)
            ++end;
        Credit(first, static_cast<std::int32_t>(end - i));
        i = end;
    }
    if (!minutes.empty()) ShowRunAndGame();
}

void formKavriMeter::UpdatePadTimer() { PadTimer.enabled = idle.Options().on && emulatorRunning; }

}  // namespace kavri
