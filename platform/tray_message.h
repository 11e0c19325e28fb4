// Tells a tray-icon notification from a real mouse move. The icon's callback message is the
// mouse-move message itself, so both reach the window as message 512.
#pragma once

#include <cstdint>

namespace kavri {

struct MouseMoveMessage {
    std::uintptr_t wParam;      // the icon's id for a notification; key state for a real move
    std::intptr_t lParam;       // the mouse message for a notification; packed x and y for a move
    bool cursorOnClientArea;    // the message's cursor position lies on the window's own client area
};

bool IsTrayNotification(const MouseMoveMessage& message, std::uint32_t iconId);

}  // namespace kavri
