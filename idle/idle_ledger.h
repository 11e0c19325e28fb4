// The minutes a tick would credit, held back while nobody is at the controls. A hand seen within
// the idle limit credits them all; once the limit is reached the pause is time away, all of it up
// to the next hand, whatever limit is chosen later, and no minute of it counts anywhere. When the
// run ends (the emulator gone, the program closing, the option turned off) what is held is judged
// at the last tick that saw the emulator: the program knows the emulator ran until then and not
// after, and the minutes held stop there too. Hands are judged at the tick after them for the same
// reason: one seen after the emulator's last tick does not end a pause. Times are seconds on a clock
// that stops while the computer sleeps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kavri {

// A minute crossed at a tick: when, and everything its credit goes to.
struct PlayedMinute {
    std::int64_t at = 0;    // the minute's end
    int day = 0;            // weekday slot, 0 for Sunday
    std::int64_t date = 0;  // local date, in days from 1970-01-01
    std::string game;       // the game its tick timed, empty for none
    std::string play;       // that play's games line without its duration, empty for none
};

class IdleLedger {
public:
    // A run starts at nowS, which counts as a hand; what an earlier run held is gone.
    void BeginRun(std::int64_t nowS, int limitMinutes);
    // The pause going on is judged by the new limit, unless it reached the old one.
    void SetLimit(int limitMinutes) { limit_ = std::int64_t{limitMinutes} * 60; }
    // A player's hand was seen at atS. Within the time between two ticks only the first and the
    // last hand matter: a pause as long as the limit does not fit in it.
    void Hand(std::int64_t atS) {
        if (firstHand_ == 0) firstHand_ = atS;
        lastHand_ = atS;
    }
    // A tick that saw the emulator at seenS crossed these minutes: the hands up to then are
    // judged; gives back the minutes to credit now, earlier ones held back included.
    std::vector<PlayedMinute> TakeDue(std::vector<PlayedMinute> crossed, std::int64_t seenS);
    // The run ends: gives back what is held when the pause had not reached the limit at the last
    // tick that saw the emulator; nothing is held after.
    std::vector<PlayedMinute> TakeAtEnd();

private:
    // The hands since the last tick end their pauses; minutes before the last hand become due.
    void JudgeHands(std::vector<PlayedMinute>& due);
    void Move(std::int64_t upToS, std::vector<PlayedMinute>* due);

    std::int64_t limit_ = 600;
    std::int64_t last_ = 0;   // the last hand judged
    std::int64_t seen_ = 0;   // the last tick that saw the emulator
    bool away_ = false;       // the pause since last_ reached the limit
    std::int64_t firstHand_ = 0, lastHand_ = 0;  // seen since the last tick, 0 for none
    std::vector<PlayedMinute> held_;   // in the order crossed
};

}  // namespace kavri
