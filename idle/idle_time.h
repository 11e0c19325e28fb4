// Time away from the game: the user's choice, the watch on the controls and the minutes held back
// while the emulator runs. Off, minutes pass through as they always did.
#pragma once

#include <cstdint>
#include <vector>

#include "idle/idle_ledger.h"
#include "idle/idle_options.h"
#include "idle/idle_watch.h"
#include "platform/clock.h"

namespace kavri {

// Seconds on a clock that stops while the computer sleeps or hibernates: pauses are measured on
// it, so time asleep never makes a pause reach the idle limit.
std::int64_t AwakeSeconds(Clock& clock);

class IdleTime {
public:
    const IdleOptions& Options() const { return options_; }
    // What "kvroptions.csv" gave at start.
    void Load(const IdleOptionsContent& content);
    // A later version wrote the file: it is never replaced.
    bool FileNewer() const { return fileNewer_; }
    void SetFileNewer() { fileNewer_ = true; }
    // Grows with every choice taken, each one saved at once.
    std::uint64_t Revision() const { return revision_; }

    // The user took a choice in Options at nowS; running: a run goes on. Gives back the minutes
    // held that are to be credited now: turned off mid-run, what was held counts.
    std::vector<PlayedMinute> Choose(IdleOptions chosen, Input& input, bool running, std::int64_t nowS);
    // The emulator was first seen at nowS.
    void BeginRun(Input& input, std::int64_t nowS);
    // About once a second while the emulator runs and the option is on.
    void Poll(Input& input, std::int64_t nowS);
    // A tick that saw the emulator at nowS crossed these minutes: gives back those to credit now.
    std::vector<PlayedMinute> TakeDue(std::vector<PlayedMinute> crossed, std::int64_t nowS);
    // The run ended (the emulator gone, the program closing): gives back the minutes held to credit.
    std::vector<PlayedMinute> TakeAtEnd() { return ledger_.TakeAtEnd(); }
    void DevicesChanged() { watch_.DevicesChanged(); }
    IdleBlind Blind(Input& input) { return watch_.Blind(input); }

private:
    IdleOptions options_;
    std::uint64_t revision_ = 0;
    bool fileNewer_ = false;
    IdleWatch watch_;
    IdleLedger ledger_;
};

}  // namespace kavri
