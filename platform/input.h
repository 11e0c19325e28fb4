// What tells that a player is at the controls: game pads through XInput, which answers a program
// without the focus, and the keyboard and mouse.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavri {

// A game pad's controls as XInput gives them.
struct PadReading {
    std::uint16_t buttons = 0;
    std::int16_t leftX = 0, leftY = 0, rightX = 0, rightY = 0;
    std::uint8_t leftTrigger = 0, rightTrigger = 0;
    bool operator==(const PadReading&) const = default;
};

class Input {
public:
    virtual ~Input() = default;
    // Game pads can be read: an XInput DLL was loaded from the system folder.
    virtual bool PadsReadable() = 0;
    // Pad slot 0 to 3; nothing when no pad is connected there.
    virtual std::optional<PadReading> ReadPad(int slot) = 0;
    // The system's tick count at the last keyboard or mouse input of the session.
    virtual std::uint32_t LastKeyboardOrMouse() = 0;
    // The device names of the joysticks and game pads among the raw input devices (HID usage
    // page 1, usage 4 or 5), XInput's own pads among them.
    virtual std::vector<std::string> GameControllers() = 0;
    // Milliseconds of a clock that only goes forward.
    virtual std::uint64_t SteadyMs() = 0;
};

}  // namespace kavri
