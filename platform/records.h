// Fixed-layout records that cross the platform boundary byte for byte.
// Handles and window handles are 32-bit values, as on the 32-bit target.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kavri {

using Handle = std::uint32_t;
inline constexpr Handle kInvalidHandle = 0xFFFFFFFFu;

// Single-byte Tool Help process entry (296 bytes).
struct ProcessEntry32 {
    std::uint32_t dwSize;
    std::uint32_t cntUsage;
    std::uint32_t th32ProcessID;
    std::uint32_t th32DefaultHeapID;
    std::uint32_t th32ModuleID;
    std::uint32_t cntThreads;
    std::uint32_t th32ParentProcessID;
    std::int32_t pcPriClassBase;
    std::uint32_t dwFlags;
    char szExeFile[260];
};
static_assert(sizeof(ProcessEntry32) == 296);
static_assert(offsetof(ProcessEntry32, szExeFile) == 36);

// Single-byte notification-area icon record (88 bytes).
struct NotifyIconDataA {
    std::uint32_t cbSize;
    std::uint32_t hWnd;
    std::uint32_t uID;
    std::uint32_t uFlags;
    std::uint32_t uCallbackMessage;
    std::uint32_t hIcon;
    char szTip[64];
};
static_assert(sizeof(NotifyIconDataA) == 88);
static_assert(offsetof(NotifyIconDataA, szTip) == 24);

// The wide record in its second, larger form (936 bytes), which carries a balloon: its texts are
// UTF-16, so that a path outside the system code page shows as the user sees it.
struct NotifyIconBalloonW {
    std::uint32_t cbSize;
    std::uint32_t hWnd;
    std::uint32_t uID;
    std::uint32_t uFlags;
    std::uint32_t uCallbackMessage;
    std::uint32_t hIcon;
    char16_t szTip[128];
    std::uint32_t dwState;
    std::uint32_t dwStateMask;
    char16_t szInfo[256];
    std::uint32_t uTimeout;
    char16_t szInfoTitle[64];
    std::uint32_t dwInfoFlags;
};
static_assert(sizeof(NotifyIconBalloonW) == 936);
static_assert(offsetof(NotifyIconBalloonW, szInfo) == 288);
static_assert(offsetof(NotifyIconBalloonW, szInfoTitle) == 804);

inline constexpr std::uint32_t kTh32csSnapProcess = 2;
inline constexpr std::uint32_t kDriveCdrom = 5;
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessageIconTip = 7;
inline constexpr std::uint32_t kNifInfo = 0x10;
inline constexpr std::uint32_t kNiifWarning = 2;
inline constexpr std::uint32_t kWmMouseMove = 0x200;
inline constexpr std::int32_t kSwShowNormal = 1;
inline constexpr std::int32_t kMbIconInformation = 64;

}  // namespace kavri
