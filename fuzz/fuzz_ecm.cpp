// Unpacks arbitrary bytes after the packing's mark, reading at offsets the input itself picks: no
// fault, and never more than asked.
#include <cstdint>
#include <string>

#include "discimage/ecm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string packed = std::string("ECM\0", 4) + std::string(reinterpret_cast<const char*>(data), size);
    const kavri::ReadImage read = [&](std::uint64_t at, std::size_t length) -> std::optional<std::string> {
        if (at > packed.size()) return std::nullopt;
        return packed.substr(static_cast<std::size_t>(at), length);
    };
    const auto image = kavri::UnpackEcm(read, packed.size());
    if (!image) __builtin_trap();
    for (const std::uint64_t at : {std::uint64_t{0}, std::uint64_t{16 * 2352}, std::uint64_t{size} * 7}) {
        const auto bytes = (*image)(at, 2352);
        if (bytes && bytes->size() > 2352) __builtin_trap();
    }
    return 0;
}
