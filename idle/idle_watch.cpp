#include "idle/idle_watch.h"

#include <algorithm>

#include "base/text_util.h"

namespace kavri {
namespace {

// XInput's own pads carry "IG_" in their device name; any other joystick or game pad is one that
// XInput cannot read, whatever pads XInput answers for beside it.
bool XInputCannotRead(const std::string& deviceName) {
    for (std::size_t at = 0; at + 3 <= deviceName.size(); ++at)
        if (EqualsNoCase(std::string_view(deviceName).substr(at, 3), "IG_")) return false;
    return true;
}

}  // namespace

bool IdleWatch::HandSeen(Input& input) {
    const std::uint64_t nowMs = input.SteadyMs();
    bool hand = false;
    if (input.PadsReadable())
        for (int slot = 0; slot < 4; ++slot)
            if (pads_.ShouldAsk(slot, nowMs)) hand = pads_.Answer(slot, nowMs, input.ReadPad(slot)) || hand;
    // Some pads never touch the keyboard's clock and some devices touch it all the time: it is one
    // signal beside the pads, not the only one.
    if (const std::uint32_t keys = input.LastKeyboardOrMouse(); keys != lastInput_) {
        lastInput_ = keys;
        hand = true;
    }
    return hand || Blind(input) != IdleBlind::No;
}

void IdleWatch::DevicesChanged() {
    pads_.DevicesChanged();
    nextControllerLook_ = 0;
}

IdleBlind IdleWatch::Blind(Input& input) {
    if (!input.PadsReadable()) return IdleBlind::NoXInput;
    if (const std::uint64_t nowMs = input.SteadyMs(); nowMs >= nextControllerLook_) {
        const auto names = input.GameControllers();
        otherController_ = std::any_of(names.begin(), names.end(), XInputCannotRead);
        nextControllerLook_ = nowMs + kEmptySlotRetryMs;
    }
    return otherController_ ? IdleBlind::OtherController : IdleBlind::No;
}

}  // namespace kavri
