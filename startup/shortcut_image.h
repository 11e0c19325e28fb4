// The start-up shortcut: a fixed 255-byte Shell Link image pointing at KavriStat.exe in the root
// folder of the program's drive.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kavri {

inline constexpr std::size_t kShortcutSize = 255;
inline constexpr const char* kShortcutFolder = "c:\\windows\\start menu\\programs\\startup";
inline constexpr const char* kShortcutName = "KavriStat.lnk";
inline constexpr const char* kShortcutPath = "c:\\windows\\start menu\\programs\\startup\\KavriStat.lnk";
// The file the image points at, in the root of the program's drive.
inline constexpr const char* kShortcutTarget = "KavriStat.exe";

// driveRoot is a three-character drive root such as "C:\".
std::array<std::uint8_t, kShortcutSize> ShortcutImage(std::string_view driveRoot);

// True for a drive root: a letter, a colon and a backslash.
bool IsDriveRoot(std::string_view text);

}  // namespace kavri
