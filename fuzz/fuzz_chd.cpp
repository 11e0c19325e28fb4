// Reads arbitrary bytes as a CHD file and, where they make one, its first data track as far as
// "SYSTEM.CNF": no fault, and never more of the boot file than the limit.
#include <cstdint>
#include <string>

#include "discimage/chd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    const kavri::ReadImage read = [&](std::uint64_t at, std::size_t length) -> std::optional<std::string> {
        if (at > file.size()) return std::nullopt;
        return file.substr(static_cast<std::size_t>(at), length);
    };
    // The map's CRC is not checked, so that generated maps reach the code behind it.
    if (const auto disc = kavri::OpenChd(read, file.size(), kavri::chd::MapCheck::SkipCrcForFuzzing)) {
        const auto cnf = kavri::ReadSystemCnf(disc->frames, disc->size, disc->layout);
        if (cnf && cnf->size() > kavri::kSystemCnfLimit) __builtin_trap();
    }
    return 0;
}
