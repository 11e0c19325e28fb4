// Fixed-layout records that cross the platform boundary byte for byte. Handles and the fields
// Windows declares pointer-sized are as wide as a pointer: the 32-bit program gets the 32-bit
// layouts, a 64-bit build the 64-bit ones. Both layouts are declared and checked here, so the
// records can be proven on any build.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kavri {

using Handle = std::uintptr_t;
inline constexpr Handle kInvalidHandle = ~Handle{0};

// Single-byte Tool Help process entry, for a pointer-sized field of type Ptr.
template <class Ptr>
struct ProcessEntry32For {
    std::uint32_t dwSize;
    std::uint32_t cntUsage;
    std::uint32_t th32ProcessID;
    alignas(Ptr) Ptr th32DefaultHeapID;
    std::uint32_t th32ModuleID;
    std::uint32_t cntThreads;
    std::uint32_t th32ParentProcessID;
    std::int32_t pcPriClassBase;
    std::uint32_t dwFlags;
    char szExeFile[260];
};

// Single-byte notification-area icon record, first version.
template <class Ptr>
struct NotifyIconDataAFor {
    std::uint32_t cbSize;
    alignas(Ptr) Ptr hWnd;
    std::uint32_t uID;
    std::uint32_t uFlags;
    std::uint32_t uCallbackMessage;
    alignas(Ptr) Ptr hIcon;
    char szTip[64];
};

// The wide record in its second, larger form, which carries a balloon: its texts are UTF-16, so
// that a path outside the system code page shows as the user sees it.
template <class Ptr>
struct NotifyIconBalloonWFor {
    std::uint32_t cbSize;
    alignas(Ptr) Ptr hWnd;
    std::uint32_t uID;
    std::uint32_t uFlags;
    std::uint32_t uCallbackMessage;
    alignas(Ptr) Ptr hIcon;
    char16_t szTip[128];
    std::uint32_t dwState;
    std::uint32_t dwStateMask;
    char16_t szInfo[256];
    std::uint32_t uTimeout;
    char16_t szInfoTitle[64];
    std::uint32_t dwInfoFlags;
};

// The 32-bit program's layouts: 296, 88 and 936 bytes.
static_assert(sizeof(ProcessEntry32For<std::uint32_t>) == 296);
static_assert(offsetof(ProcessEntry32For<std::uint32_t>, szExeFile) == 36);
static_assert(sizeof(NotifyIconDataAFor<std::uint32_t>) == 88);
static_assert(offsetof(NotifyIconDataAFor<std::uint32_t>, szTip) == 24);
static_assert(sizeof(NotifyIconBalloonWFor<std::uint32_t>) == 936);
static_assert(offsetof(NotifyIconBalloonWFor<std::uint32_t>, szInfo) == 288);
static_assert(offsetof(NotifyIconBalloonWFor<std::uint32_t>, szInfoTitle) == 804);
// The 64-bit layouts: 304, 104 and 952 bytes.
static_assert(sizeof(ProcessEntry32For<std::uint64_t>) == 304);
static_assert(offsetof(ProcessEntry32For<std::uint64_t>, szExeFile) == 44);
static_assert(sizeof(NotifyIconDataAFor<std::uint64_t>) == 104);
static_assert(offsetof(NotifyIconDataAFor<std::uint64_t>, szTip) == 40);
static_assert(sizeof(NotifyIconBalloonWFor<std::uint64_t>) == 952);
static_assert(offsetof(NotifyIconBalloonWFor<std::uint64_t>, szInfo) == 304);
static_assert(offsetof(NotifyIconBalloonWFor<std::uint64_t>, szInfoTitle) == 820);

// The layouts of this build.
using ProcessEntry32 = ProcessEntry32For<std::uintptr_t>;
using NotifyIconDataA = NotifyIconDataAFor<std::uintptr_t>;
using NotifyIconBalloonW = NotifyIconBalloonWFor<std::uintptr_t>;

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
