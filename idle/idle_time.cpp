#include "idle/idle_time.h"

#include <utility>

namespace kavri {

std::int64_t AwakeSeconds(Clock& clock) {
    return clock.UtcSeconds() - static_cast<std::int64_t>(clock.MillisecondsAsleep() / 1000);
}

void IdleTime::Load(const IdleOptionsContent& content) {
    options_ = content.options;
    fileNewer_ = content.newer;
}

// A limit out of range, as the dialog may give back with the option off, keeps the one in force.
std::vector<PlayedMinute> IdleTime::Choose(IdleOptions chosen, Input& input, bool running, std::int64_t nowS) {
    if (chosen.limitMinutes < kIdleLimitMin || chosen.limitMinutes > kIdleLimitMax)
        chosen.limitMinutes = options_.limitMinutes;
    const IdleOptions before = std::exchange(options_, chosen);
    ++revision_;
    if (!running || chosen == before) return {};
    if (!chosen.on) return ledger_.TakeAtEnd();
    if (!before.on) BeginRun(input, nowS);  // counting goes on from now
    else ledger_.SetLimit(chosen.limitMinutes);
    return {};
}

void IdleTime::BeginRun(Input& input, std::int64_t nowS) {
    watch_.BeginRun(input);
    ledger_.BeginRun(nowS, options_.limitMinutes);
}

void IdleTime::Poll(Input& input, std::int64_t nowS) {
    if (options_.on && watch_.HandSeen(input)) ledger_.Hand(nowS);
}

std::vector<PlayedMinute> IdleTime::TakeDue(std::vector<PlayedMinute> crossed, std::int64_t nowS) {
    if (!options_.on) return crossed;
    return ledger_.TakeDue(std::move(crossed), nowS);
}

}  // namespace kavri
