#include "idle/idle_ledger.h"

#include <algorithm>
#include <limits>

namespace kavri {

void IdleLedger::BeginRun(std::int64_t nowS, int limitMinutes) {
    *this = IdleLedger();
    SetLimit(limitMinutes);
    last_ = seen_ = nowS;
}

// The held minutes ending at upToS or before go to due, or are dropped when due is null.
void IdleLedger::Move(std::int64_t upToS, std::vector<PlayedMinute>* due) {
    const auto end = std::partition_point(held_.begin(), held_.end(), [&](const PlayedMinute& m) { return m.at <= upToS; });
    if (due)
        for (auto minute = held_.begin(); minute != end; ++minute) due->push_back(std::move(*minute));
    held_.erase(held_.begin(), end);
}

void IdleLedger::JudgeHands(std::vector<PlayedMinute>& due) {
    Move(last_, &due);  // minutes that ended before the last hand, as at a run's first tick
    for (const std::int64_t hand : {firstHand_, lastHand_}) {
        if (hand <= last_) continue;
        const bool reached = away_ || hand - last_ >= limit_;
        Move(hand, reached ? nullptr : &due);
        last_ = hand;
        away_ = false;
    }
    firstHand_ = lastHand_ = 0;
}

std::vector<PlayedMinute> IdleLedger::TakeDue(std::vector<PlayedMinute> crossed, std::int64_t seenS) {
    for (PlayedMinute& minute : crossed) held_.push_back(std::move(minute));
    seen_ = seenS;
    std::vector<PlayedMinute> due;
    JudgeHands(due);
    if (seenS - last_ >= limit_) away_ = true;
    if (away_) held_.clear();
    return due;
}

// The hands since the last tick came after it: the emulator may have been gone by then.
std::vector<PlayedMinute> IdleLedger::TakeAtEnd() {
    std::vector<PlayedMinute> due;
    if (!away_ && seen_ - last_ < limit_) Move(std::numeric_limits<std::int64_t>::max(), &due);
    held_.clear();
    firstHand_ = lastHand_ = 0;
    return due;
}

}  // namespace kavri
