// The four pad slots, polled about once a second: which to ask, and whether an answer shows a
// player's hand. Asking an empty slot is slow, so one that answered "not connected" is asked again
// only every 10 seconds, or at once after a device arrived or left.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/input.h"

namespace kavri {

inline constexpr std::uint64_t kEmptySlotRetryMs = 10000;

// A change of buttons, a stick past its dead zone (XInput's documented 7849 left, 8689 right) or
// a trigger past 30. The packet number is not looked at: worn sticks drift and move it.
bool ShowsAHand(const PadReading& before, const PadReading& now);

class PadWatch {
public:
    bool ShouldAsk(int slot, std::uint64_t nowMs) const;
    // The slot's answer at nowMs (nothing: not connected); true when it shows a player's hand.
    bool Answer(int slot, std::uint64_t nowMs, const std::optional<PadReading>& reading);
    // A device arrived or left: every empty slot is asked at the next poll.
    void DevicesChanged();

private:
    struct Slot {
        bool connected = false;
        std::uint64_t nextAsk = 0;  // for an empty slot
        PadReading last;
    };
    std::array<Slot, 4> slots_{};
};

}  // namespace kavri
