// Reads arbitrary text as a number; a number written back must read as the same number.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "stats/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double loose = kavri::ReadNumber(text);
    if (std::isnan(loose)) __builtin_trap();
    kavri::SaturateInt16(loose + 1);
    if (const auto strict = kavri::ParseNumberText(text)) {
        kavri::SaturateInt32(*strict);
        const auto again = kavri::ParseNumberText(kavri::FormatNumber(*strict));
        if (!again || *again != *strict) __builtin_trap();
    }
    kavri::AddToNumberText(text, 1);
    return 0;
}
