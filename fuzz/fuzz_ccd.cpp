// Reads arbitrary bytes as a CloneCD descriptor: no fault, and a start that fits 32 bits.
#include <cstdint>
#include <string_view>

#include "discimage/ccd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto start = kavri::ParseCcd(std::string_view(reinterpret_cast<const char*>(data), size));
    if (start && *start > 0xFFFFFFFFu) __builtin_trap();
    return 0;
}
