#include "idle/idle_ledger.h"

#include <algorithm>

namespace kavri {

void IdleLedger::Start(std::int64_t nowS, int limitMinutes) {
    *this = IdleLedger();
    limit_ = std::int64_t{limitMinutes} * 60;
    last_ = nowS;
}

void IdleLedger::Active(std::int64_t atS) {
    if (atS <= last_) return;
    if (Reached(atS)) {
        gaps_.emplace_back(last_, atS);  // minutes a later tick brings from this span are dropped too
        pending_.clear();
    } else {
        ready_.insert(ready_.end(), pending_.begin(), pending_.end());
        pending_.clear();
    }
    last_ = atS;
}

std::vector<PlayedMinute> IdleLedger::Tick(std::vector<PlayedMinute> crossed, std::int64_t nowS) {
    for (PlayedMinute& minute : crossed) {
        const bool inGap = std::any_of(gaps_.begin(), gaps_.end(),
                                       [&](const auto& gap) { return minute.at > gap.first && minute.at <= gap.second; });
        if (inGap) continue;
        (minute.at <= last_ ? ready_ : pending_).push_back(std::move(minute));
    }
    gaps_.clear();  // later ticks bring later minutes
    if (Reached(nowS)) pending_.clear();
    return std::exchange(ready_, {});
}

std::vector<PlayedMinute> IdleLedger::End(std::int64_t nowS) {
    if (!Reached(nowS)) ready_.insert(ready_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    return std::exchange(ready_, {});
}

}  // namespace kavri
