#include "discimage/nrg.h"

#include <algorithm>
#include <string_view>

#include "discimage/byte_order.h"

// The layout read, every number unsigned and big-endian. The footer: "NER5" and the chunk list's
// 64-bit offset in the file's last 12 bytes, or "NERO" and a 32-bit one in its last 8. The list:
// chunks of a 4-byte id, a 32-bit body size and the body, up to "END!". Its track tables, in
// 64-bit offsets ("DAOX", "ETN2") or 32-bit ones ("DAOI", "ETNF"):
// - disc at once: a 22-byte header, then per track its ISRC (12 bytes), sector size (16 bits),
//   mode (a byte, and 3 more), then the byte offsets of its index 0, index 1 and end;
// - track at once: per track its byte offset, its length in bytes, mode (32 bits), start sector
//   (32 bits) and 4 more bytes.
// Modes 0x07 and 0x10 are audio (2352 bytes, 2448 with subchannel); the others data.

namespace kavri {
namespace {

constexpr int kChunkLimit = 64;            // chunks walked at most
constexpr std::uint32_t kTableLimit = 16 * 1024;  // a track table's bytes read at most: 99 tracks take 4,180

bool IsAudio(std::uint64_t mode) { return mode == 0x07 || mode == 0x10; }

// The sector size of a track-at-once mode; 0 for audio and what is not known.
std::uint32_t ModeSectorSize(std::uint64_t mode) {
    switch (mode) {
        case 0x00:
        case 0x02: return 2048;
        case 0x03: return 2336;
        case 0x05:
        case 0x06: return 2352;
        case 0x0F:
        case 0x11: return 2448;
        default: return 0;
    }
}

bool IsSectorSize(std::uint64_t size) { return size == 2048 || size == 2336 || size == 2352 || size == 2448; }

// The first data track of the table chunk id holds, its start before end.
std::optional<NrgTrack> FirstDataTrack(std::string_view id, std::string_view table, std::uint64_t end) {
    const bool atOnce = id == "DAOX" || id == "DAOI";
    const std::size_t width = id == "DAOX" || id == "ETN2" ? 8 : 4;
    const std::size_t header = atOnce ? 22 : 0, entry = atOnce ? 18 + 3 * width : 2 * width + 12;
    for (std::size_t at = header; at + entry <= table.size(); at += entry) {
        const std::uint64_t mode = atOnce ? Be(table, at + 14, 1) : Be(table, at + 2 * width, 4);
        const std::uint64_t size = atOnce ? Be(table, at + 12, 2) : ModeSectorSize(mode);
        const std::uint64_t start = atOnce ? Be(table, at + 18 + width, width) : Be(table, at, width);
        if (!IsAudio(mode) && IsSectorSize(size) && start < end) return NrgTrack{start, static_cast<std::uint32_t>(size)};
    }
    return std::nullopt;
}

}  // namespace

std::optional<NrgTrack> FindNrgTrack(const ReadImage& read, std::uint64_t imageSize) {
    if (imageSize < 12) return std::nullopt;
    const auto footer = read(imageSize - 12, 12);
    if (!footer || footer->size() != 12) return std::nullopt;
    const bool wide = footer->substr(0, 4) == "NER5";
    if (!wide && footer->substr(4, 4) != "NERO") return std::nullopt;
    const std::uint64_t listEnd = imageSize - (wide ? 12 : 8);  // the chunks lie before the footer
    std::uint64_t at = wide ? Be(*footer, 4, 8) : Be(*footer, 8, 4);
    for (int chunk = 0; chunk < kChunkLimit && at <= listEnd && listEnd - at >= 8; ++chunk) {
        const auto head = read(at, 8);
        if (!head || head->size() != 8) return std::nullopt;
        const std::string_view id = std::string_view(*head).substr(0, 4);
        const std::uint64_t size = Be(*head, 4, 4);
        if (id == "END!" || size > listEnd - at - 8) return std::nullopt;
        if (id == "DAOX" || id == "DAOI" || id == "ETN2" || id == "ETNF") {
            const auto body = read(at + 8, static_cast<std::size_t>(std::min<std::uint64_t>(size, kTableLimit)));
            if (!body) return std::nullopt;
            if (const auto track = FirstDataTrack(id, *body, listEnd)) return track;
        }
        at += 8 + size;
    }
    return std::nullopt;
}

}  // namespace kavri
