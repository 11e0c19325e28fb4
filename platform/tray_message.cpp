#include "platform/tray_message.h"

namespace kavri {

bool IsTrayNotification(const MouseMoveMessage& message, std::uint32_t iconId) {
    // A notification's lParam is the mouse message alone; a move packs a position beside it.
    const std::intptr_t mouseMessage = message.lParam & 0xFFFF;
    const bool looksLikeNotification = message.wParam == iconId && (message.lParam >> 16) == 0 &&
                                       mouseMessage >= 0x200 && mouseMessage <= 0x20E;
    // A real move with the left button down at y = 0 packs the same values, but its cursor is
    // over the window, while a notification's cursor is over the taskbar.
    return looksLikeNotification && !message.cursorOnClientArea;
}

}  // namespace kavri
