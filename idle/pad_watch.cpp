#include "idle/pad_watch.h"

#include <cstdlib>

namespace kavri {
namespace {

constexpr int kLeftDeadZone = 7849, kRightDeadZone = 8689, kTriggerThreshold = 30;

bool Past(std::int16_t axis, int deadZone) { return std::abs(static_cast<int>(axis)) > deadZone; }

}  // namespace

bool ShowsAHand(const PadReading& before, const PadReading& now) {
    return now.buttons != before.buttons || Past(now.leftX, kLeftDeadZone) || Past(now.leftY, kLeftDeadZone) ||
           Past(now.rightX, kRightDeadZone) || Past(now.rightY, kRightDeadZone) ||
           now.leftTrigger > kTriggerThreshold || now.rightTrigger > kTriggerThreshold;
}

bool PadWatch::ShouldAsk(int slot, std::uint64_t nowMs) const {
    const Slot& s = slots_[static_cast<std::size_t>(slot)];
    return s.connected || nowMs >= s.nextAsk;
}

bool PadWatch::Answer(int slot, std::uint64_t nowMs, const std::optional<PadReading>& reading) {
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    if (!reading) {
        s = Slot{false, nowMs + kEmptySlotRetryMs, {}};
        return false;
    }
    const bool hand = ShowsAHand(s.last, *reading);
    s.connected = true;
    s.last = *reading;
    return hand;
}

void PadWatch::DevicesChanged() {
    for (Slot& s : slots_)
        if (!s.connected) s.nextAsk = 0;
}

}  // namespace kavri
