// Whether a player is at the controls while the emulator runs, as far as it can be seen. Where
// idle time cannot be seen, every poll counts as a hand, so minutes count as they always did.
#pragma once

#include <cstdint>

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
    // A run starts: only keyboard or mouse input after now is a hand.
    void BeginRun(Input& input) { lastInput_ = input.LastKeyboardOrMouse(); }
    // About once a second: the pads due and the keyboard and mouse are asked; true for a hand,
    // or where idle time cannot be seen.
    bool HandSeen(Input& input);
    // A device arrived or left: empty slots and the controller list are asked again at once.
    void DevicesChanged();
    // Why idle time cannot be seen, if it cannot.
    IdleBlind Blind(Input& input);

private:
    PadWatch pads_;
    std::uint32_t lastInput_ = 0;
    std::uint64_t nextControllerLook_ = 0;
    bool otherController_ = false;
};

}  // namespace kavri
