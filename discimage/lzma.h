// Raw LZMA streams, as compressed hunks hold them: no header, the properties given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavri {

struct LzmaProperties {
    int lc = 3, lp = 0, pb = 2;  // literal context bits, literal position bits, position bits
    std::uint32_t dictionarySize = 1 << 20;
};

// Exactly outSize bytes decoded from in; nothing for a stream that is damaged, ends early or
// reaches back past its start or its dictionary.
std::optional<std::string> DecodeLzma(std::string_view in, const LzmaProperties& props, std::size_t outSize);

}  // namespace kavri
