// Cuts a game identifier from arbitrary boot-file text; it must never carry a quote or a
// control character into the statistics file.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/game_id.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string id = kavri::GameIdFromLine(kavri::FirstLine(text));
    if (id.size() > 10) __builtin_trap();
    for (char c : id)
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) __builtin_trap();
    if (!id.empty() && id.find('-') > 4) __builtin_trap();
    return 0;
}
