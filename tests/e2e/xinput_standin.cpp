// Stands in for XInput in the test prefix's system folder: pad 0 replays what the file
// "C:\KavriStat\pad.txt" says at each question. "press": its A button changes at every question;
// "still": connected, untouched; anything else, or no file: no pad. Slots 1 to 3 hold none.
#include <windows.h>

namespace {

struct Gamepad {
    WORD buttons;
    BYTE leftTrigger, rightTrigger;
    SHORT thumbLX, thumbLY, thumbRX, thumbRY;
};
struct State {
    DWORD packetNumber;
    Gamepad gamepad;
};

WORD buttons = 0;
DWORD packet = 0;

// The first word of the file.
void Mode(char* mode, DWORD size) {
    mode[0] = '\0';
    const HANDLE file = ::CreateFileA("C:\\KavriStat\\pad.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD read = 0;
    ::ReadFile(file, mode, size - 1, &read, nullptr);
    ::CloseHandle(file);
    mode[read] = '\0';
    for (DWORD i = 0; i < read; ++i)
        if (mode[i] == '\r' || mode[i] == '\n' || mode[i] == ' ') mode[i] = '\0';
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI XInputGetState(DWORD slot, State* state) {
    char mode[16];
    Mode(mode, sizeof mode);
    const bool press = ::lstrcmpA(mode, "press") == 0;
    if (slot != 0 || (!press && ::lstrcmpA(mode, "still") != 0)) return ERROR_DEVICE_NOT_CONNECTED;
    if (press) buttons ^= 0x1000;  // XINPUT_GAMEPAD_A
    *state = State{++packet, Gamepad{buttons, 0, 0, 0, 0, 0, 0}};
    return ERROR_SUCCESS;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, void*) { return TRUE; }
