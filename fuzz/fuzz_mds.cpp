// Reads arbitrary bytes after the signature as an ".mds" descriptor: no fault, and a track found
// has a sector size the reader takes and a name no longer than the bytes it may come from.
#include <cstdint>
#include <string>

#include "discimage/mds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = "MEDIA DESCRIPTOR" + std::string(reinterpret_cast<const char*>(data), size);
    const auto track = kavri::ParseMds(bytes);
    const bool sized = track && (track->sectorSize == 2048 || track->sectorSize == 2352 || track->sectorSize == 2448);
    if (track && (!sized || track->file.empty() || track->file.size() > 3 * 512)) __builtin_trap();
    return 0;
}
