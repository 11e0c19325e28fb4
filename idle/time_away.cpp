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
    if (idleOptions.on && emulatorRunning) idleWatch.Poll(os_.input, os_.clock.UtcSeconds());
}

void formKavriMeter::btnOptions_Click() {
    const auto chosen = os_.windowing.AskIdleOptions(idleOptions, IdleBlindText());
    if (!chosen || *chosen == idleOptions) return;
    const bool wasOn = idleOptions.on;
    idleOptions = *chosen;
    if (emulatorRunning && idleOptions.on != wasOn) {
        // Turned on: counting goes on from now; turned off: what was held back counts.
        if (idleOptions.on) idleWatch.Start(os_.input, os_.clock.UtcSeconds(), idleOptions.limitMinutes);
        else CreditPlayed(idleWatch.ledger.End(os_.clock.UtcSeconds()));
    } else if (emulatorRunning && idleOptions.on) {
        idleWatch.ledger.Limit(idleOptions.limitMinutes);
    }
    UpdatePadTimer();
    ++optionsRevision;
    if (!optionsNewer && !optionsFile.locked) SaveKept(optionsFile, optionsRevision, FormatIdleOptions(idleOptions));
}

void formKavriMeter::DevicesChanged() { idleWatch.DevicesChanged(); }

// A missing file means off; a damaged or newer one leaves it off, is told of once, and a damaged
// one is kept whole beside before a choice replaces it.
void formKavriMeter::LoadOptions() {
    const auto bytes = LoadKept(optionsFile, kOptionsReadLimit);
    if (!bytes) return;
    const IdleOptionsContent content = ParseIdleOptions(*bytes);
    idleOptions = content.options;
    optionsNewer = content.newer;
    if (!content.clean) ReportProblem(Notice::OptionsIgnored, optionsFile.path);
    Loaded(optionsFile, content.clean, bytes->size(), kOptionsReadLimit, optionsRevision);
}

std::string formKavriMeter::IdleBlindText() {
    // An XInput pad is a listed game controller too: the slots are asked before it is judged.
    if (!emulatorRunning) idleWatch.LookForPads(os_.input);
    switch (idleWatch.Blind(os_.input)) {
    case IdleBlind::NoXInput: return "Idle time is not measured: Windows has no XInput here to read game pads.";
    case IdleBlind::OtherController:
        return "Idle time is not measured: a controller is connected that only the game can read.";
    case IdleBlind::No: break;
    }
    return {};
}

void formKavriMeter::HoldBack(int day, std::int32_t minutes) {
    const std::int64_t now = os_.clock.UtcSeconds(), date = Today();
    const std::string game = HasCurrentGame() ? currentGameId : std::string();
    std::vector<PlayedMinute> crossed;
    for (std::int32_t i = minutes; i > 0; --i) crossed.push_back({now - now % 60 - (i - 1) * 60, day, date, game});
    CreditPlayed(idleWatch.ledger.Tick(std::move(crossed), now));
}

// Runs of minutes of one day, date and game go in together.
void formKavriMeter::CreditPlayed(const std::vector<PlayedMinute>& minutes) {
    for (std::size_t i = 0; i < minutes.size();) {
        std::size_t end = i + 1;
        while (end < minutes.size() && minutes[end].day == minutes[i].day && minutes[end].date == minutes[i].date &&
               minutes[end].game == minutes[i].game)
            ++end;
        Credit(minutes[i].day, minutes[i].date, minutes[i].game, static_cast<std::int32_t>(end - i));
        i = end;
    }
}

void formKavriMeter::UpdatePadTimer() { PadTimer.enabled = idleOptions.on && emulatorRunning; }

}  // namespace kavri
