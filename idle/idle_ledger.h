// The minutes a tick would credit, held back while nobody is at the controls. Activity again
// within the idle limit credits them all; reaching the limit drops the whole span back to the
// last activity, so no minute of it counts anywhere; the emulator ending within the limit credits
// them (a short pause, then quitting, is play). Times are UTC seconds.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kavri {

// A minute crossed at a tick: when, and what it goes to.
struct PlayedMinute {
    std::int64_t at = 0;    // the minute's end
    int day = 0;            // weekday slot, 0 for Sunday
    std::int64_t date = 0;  // local date, in days from 1970-01-01
    std::string game;       // the game its tick timed, empty for none
};

class IdleLedger {
public:
    // A run starts at nowS: its start counts as activity. limitMinutes is the idle limit.
    void Start(std::int64_t nowS, int limitMinutes);
    // The user chose another idle limit: the time since the last activity is judged by it.
    void Limit(int limitMinutes) { limit_ = std::int64_t{limitMinutes} * 60; }
    // A player's hand was seen at atS.
    void Active(std::int64_t atS);
    // A tick at nowS crossed these minutes; gives back those to credit now, earlier ones held
    // back included.
    std::vector<PlayedMinute> Tick(std::vector<PlayedMinute> crossed, std::int64_t nowS);
    // The emulator ended at nowS; gives back what is held back, when the limit was not reached.
    std::vector<PlayedMinute> End(std::int64_t nowS);

private:
    bool Reached(std::int64_t nowS) const { return nowS - last_ >= limit_; }

    std::int64_t limit_ = 600;
    std::int64_t last_ = 0;                                   // the last activity
    std::vector<std::pair<std::int64_t, std::int64_t>> gaps_;  // spans without a hand, as long as the limit or longer
    std::vector<PlayedMinute> pending_, ready_;
};

}  // namespace kavri
