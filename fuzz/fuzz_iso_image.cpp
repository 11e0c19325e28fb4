// Reads arbitrary bytes as a disc image, in every sector layout: no fault, and never more of the
// boot file than the limit.
#include <cstdint>
#include <string>

#include "discimage/iso_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string image(reinterpret_cast<const char*>(data), size);
    const kavri::ReadImage read = [&](std::uint64_t at, std::size_t length) -> std::optional<std::string> {
        if (at > image.size()) return std::nullopt;
        return image.substr(static_cast<std::size_t>(at), length);
    };
    for (const std::uint32_t sectorSize : {2048u, 2336u, 2352u, 2448u})
        for (const std::uint32_t offset : {0u, 8u, 16u, 24u}) {
            const auto cnf = kavri::ReadSystemCnf(read, image.size(), kavri::SectorLayout{0, sectorSize, offset});
            if (cnf && cnf->size() > kavri::kSystemCnfLimit) __builtin_trap();
        }
    kavri::FindLayout(read, image.size());
    return 0;
}
