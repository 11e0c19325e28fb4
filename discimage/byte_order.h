// Numbers stored in an image's bytes: count bytes from at, the caller having checked that they
// lie within bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kavri {

// Least significant byte first.
inline std::uint64_t Le(std::string_view bytes, std::size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Most significant byte first.
inline std::uint64_t Be(std::string_view bytes, std::size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

}  // namespace kavri
