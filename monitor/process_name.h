// The emulator's executable names.
#pragma once

#include <string_view>

namespace kavri {

// True when the name, in any letter case, ends in "kavri.exe" or "kavri!.exe".
bool IsEmulatorName(std::string_view name);

}  // namespace kavri
