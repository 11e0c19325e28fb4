// Windows multimedia: MCI command strings.
#pragma once

#include <cstdint>

#include "platform/records.h"

namespace kavri {

class Multimedia {
public:
    virtual ~Multimedia() = default;
    // Sends a command; the reply lands in returnString (returnLength bytes).
    virtual std::uint32_t mciSendStringA(const char* command, char* returnString,
                                         std::uint32_t returnLength, Handle hwndCallback) = 0;
};

}  // namespace kavri
