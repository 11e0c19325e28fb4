// Game pads through XInput, loaded from the system folder as the multimedia DLL is (Windows 8 and
// later ship xinput1_4.dll, Windows 7 xinput9_1_0.dll); the keyboard and mouse through
// GetLastInputInfo; game controllers through the raw input device list.
#include "platform/win32/services.h"
#include "platform/win32/system_dll.h"
#include "platform/win32/trace.h"

namespace kavri::win32 {
namespace {

struct XInputGamepad {
    WORD buttons;
    BYTE leftTrigger, rightTrigger;
    SHORT thumbLX, thumbLY, thumbRX, thumbRY;
};
struct XInputState {
    DWORD packetNumber;
    XInputGamepad gamepad;
};
using GetStateFn = DWORD(WINAPI*)(DWORD, XInputState*);

constexpr USHORT kGenericDesktop = 1, kJoystick = 4, kGamePad = 5;

}  // namespace

void Win32Input::Load() {
    if (loaded_) return;
    loaded_ = true;
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput9_1_0.dll"}) {
        if (const HMODULE module = LoadSystemDll(name)) {
            getState_ = reinterpret_cast<void*>(::GetProcAddress(module, "XInputGetState"));
            if (getState_) return;
        }
    }
    Trace("LoadLibraryExW", "XInput", ::GetLastError());
}

bool Win32Input::PadsReadable() {
    Load();
    return getState_ != nullptr;
}

std::optional<PadReading> Win32Input::ReadPad(int slot) {
    Load();
    XInputState state{};
    if (!getState_ || reinterpret_cast<GetStateFn>(getState_)(static_cast<DWORD>(slot), &state) != ERROR_SUCCESS)
        return std::nullopt;
    const XInputGamepad& pad = state.gamepad;
    return PadReading{pad.buttons, pad.thumbLX, pad.thumbLY, pad.thumbRX, pad.thumbRY, pad.leftTrigger, pad.rightTrigger};
}

std::uint32_t Win32Input::LastKeyboardOrMouse() {
    LASTINPUTINFO info{sizeof info, 0};
    return ::GetLastInputInfo(&info) ? info.dwTime : 0;
}

namespace {

// A game controller's device name; empty for any other device, or one whose info cannot be read.
std::string ControllerName(HANDLE device) {
    RID_DEVICE_INFO info{};
    info.cbSize = sizeof info;
    UINT size = sizeof info;
    if (::GetRawInputDeviceInfoW(device, RIDI_DEVICEINFO, &info, &size) == static_cast<UINT>(-1)) return {};
    if (info.hid.usUsagePage != kGenericDesktop || (info.hid.usUsage != kJoystick && info.hid.usUsage != kGamePad))
        return {};
    // Device names are ASCII.
    char name[512] = {};
    UINT length = sizeof name - 1;
    if (::GetRawInputDeviceInfoA(device, RIDI_DEVICENAME, name, &length) == static_cast<UINT>(-1)) {
        Trace("GetRawInputDeviceInfoA", "RIDI_DEVICENAME", ::GetLastError());
        return "?";  // a controller all the same, of no known kind
    }
    return name;
}

}  // namespace

std::vector<std::string> Win32Input::GameControllers() {
    UINT count = 0;
    if (::GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) != 0 || count == 0) return {};
    std::vector<RAWINPUTDEVICELIST> devices(count);
    const UINT listed = ::GetRawInputDeviceList(devices.data(), &count, sizeof(RAWINPUTDEVICELIST));
    if (listed == static_cast<UINT>(-1)) {
        Trace("GetRawInputDeviceList", "", ::GetLastError());
        return {};
    }
    std::vector<std::string> names;
    for (UINT i = 0; i < listed; ++i)
        if (devices[i].dwType == RIM_TYPEHID)
            if (std::string name = ControllerName(devices[i].hDevice); !name.empty()) names.push_back(std::move(name));
    return names;
}

std::uint64_t Win32Input::SteadyMs() { return ::GetTickCount64(); }

}  // namespace kavri::win32
