#include "idle/idle_ledger.h"

#include <algorithm>
#include <iterator>
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
    if (due) due->insert(due->end(), std::make_move_iterator(held_.begin()), std::make_move_iterator(end));
    held_.erase(held_.begin(), end);
}

void IdleLedger::JudgeHands(std::int64_t untilS, std::vector<PlayedMinute>& due) {
    Move(last_, &due);  // minutes that ended before the last hand, as at a run's first tick
    for (const std::int64_t hand : hands_) {
        if (hand <= last_ || hand > untilS) continue;
        const bool reached = away_ || hand - last_ >= limit_;
        Move(hand, reached ? nullptr : &due);
        last_ = hand;
        away_ = false;
    }
    std::erase_if(hands_, [&](std::int64_t hand) { return hand <= untilS; });
}

std::vector<PlayedMinute> IdleLedger::TakeDue(std::vector<PlayedMinute> crossed, std::int64_t seenS) {
    held_.insert(held_.end(), std::make_move_iterator(crossed.begin()), std::make_move_iterator(crossed.end()));
    seen_ = seenS;
    std::vector<PlayedMinute> due;
    JudgeHands(seenS, due);
    if (seenS - last_ >= limit_) away_ = true;
    if (away_) held_.clear();
    return due;
}

std::vector<PlayedMinute> IdleLedger::TakeAtEnd() {
    std::vector<PlayedMinute> due;
    JudgeHands(seen_, due);
    if (!away_ && seen_ - last_ < limit_) Move(std::numeric_limits<std::int64_t>::max(), &due);
    held_.clear();
    hands_.clear();
    return due;
}

}  // namespace kavri
