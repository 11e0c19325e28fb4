#include "idle/idle_watch.h"

namespace kavri {

void IdleWatch::Start(Input& input, std::int64_t nowS, int limitMinutes) {
    ledger.Start(nowS, limitMinutes);
    lastInput_ = input.LastKeyboardOrMouse();
}

void IdleWatch::Poll(Input& input, std::int64_t nowS) {
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
    if (hand || Blind(input) != IdleBlind::No) ledger.Active(nowS);
}

void IdleWatch::DevicesChanged() {
    pads_.DevicesChanged();
    nextControllerLook_ = 0;
}

void IdleWatch::LookForPads(Input& input) {
    if (!input.PadsReadable()) return;
    const std::uint64_t nowMs = input.SteadyMs();
    for (int slot = 0; slot < 4; ++slot) pads_.Answer(slot, nowMs, input.ReadPad(slot));
}

IdleBlind IdleWatch::Blind(Input& input) {
    if (!input.PadsReadable()) return IdleBlind::NoXInput;
    if (const std::uint64_t nowMs = input.SteadyMs(); nowMs >= nextControllerLook_) {
        controllerListed_ = input.GameControllerListed();
        nextControllerLook_ = nowMs + kEmptySlotRetryMs;
    }
    // XInput pads are listed too: a controller listed while no pad answers is one XInput cannot read.
    return controllerListed_ && !pads_.AnyConnected() ? IdleBlind::OtherController : IdleBlind::No;
}

}  // namespace kavri
