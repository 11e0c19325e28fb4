// Reads arbitrary bytes as a Nero image: no fault, few and capped reads, and a data track that
// starts inside the file.
#include <cstdint>
#include <string>

#include "discimage/nrg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string image(reinterpret_cast<const char*>(data), size);
    int reads = 0;
    const kavri::ReadImage read = [&](std::uint64_t at, std::size_t length) -> std::optional<std::string> {
        // The footer, then a head and at most one table a chunk, 64 chunks at most.
        if (++reads > 1 + 2 * 64 || length > 16 * 1024 || at > image.size()) __builtin_trap();
        return image.substr(static_cast<std::size_t>(at), length);
    };
    const auto track = kavri::FindNrgTrack(read, image.size());
    if (track && track->start >= image.size()) __builtin_trap();
    return 0;
}
