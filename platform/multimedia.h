// Windows multimedia: MCI command strings.
#pragma once

#include <cstdint>

namespace kavri {

class Multimedia {
public:
    virtual ~Multimedia() = default;
    // Sends a command; the reply lands in returnString (returnLength bytes).
    virtual std::uint32_t mciSendStringA(const char* command, char* returnString,
                                         std::uint32_t returnLength, std::uint32_t hwndCallback) = 0;
};

}  // namespace kavri
