// Whether a player is at the controls while the emulator runs, as far as it can be seen, and the
// minutes held back meanwhile. Where idle time cannot be seen, every poll counts as activity, so
// minutes count as they always did.
#pragma once

#include <cstdint>

#include "idle/idle_ledger.h"
#include "idle/pad_watch.h"
#include "platform/input.h"

namespace kavri {

enum class IdleBlind {
    No,
    NoXInput,         // no XInput DLL: pads cannot be read
    OtherController,  // a controller that is not an XInput pad: only the game with the focus reads it
};

class IdleWatch {
public:
    // A run starts at nowS; limitMinutes is the idle limit.
    void Start(Input& input, std::int64_t nowS, int limitMinutes);
    // About once a second: the pads due and the keyboard and mouse are asked.
    void Poll(Input& input, std::int64_t nowS);
    // A device arrived or left: empty slots and the controller list are asked again at once.
    void DevicesChanged();
    // Every slot asked now, as for the Options dialog outside a run, where no poll has looked.
    void LookForPads(Input& input);
    // Why idle time cannot be seen, if it cannot.
    IdleBlind Blind(Input& input);

    IdleLedger ledger;

private:
    PadWatch pads_;
    std::uint32_t lastInput_ = 0;
    std::uint64_t nextControllerLook_ = 0;
    bool controllerListed_ = false;
};

}  // namespace kavri
