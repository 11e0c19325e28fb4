#include "discimage/mds.h"

#include "base/text_util.h"
#include "discimage/byte_order.h"

namespace kavri {
namespace {

// The descriptor, all numbers little-endian:
//   header, 0x58 bytes: "MEDIA DESCRIPTOR" (16), version (2), medium type (2), session count (2)
//     at 0x14, ..., offset of the first session block (4) at 0x50, offset of read errors (4);
//   session block, 0x18 bytes each: start and end sector (4 + 4), number (2), count of track
//     blocks (1) at 0x0A, of those with point A0h and up (1), first and last track (2 + 2), zero
//     (4), offset of its first track block (4) at 0x14;
//   track block, 0x50 bytes each: mode (1) at 0, subchannels (1), ADR/control (1), track (1),
//     point (1) at 4 (1 to 99 a track, A0h and up lead-in information), ..., offset of the index
//     block (4) at 0x0C, sector size (2) at 0x10, ..., start sector (4) at 0x24, start offset in
//     the image file (8) at 0x28, count of file names (4) at 0x30, offset of the file name block
//     (4) at 0x34, zero (24);
//   file name block, 0x10 bytes: offset of the name (4), 1 when its characters are 16-bit (1),
//     zero (11); the name ends at a NUL: "*.mdf" is the descriptor's own name with ".mdf".
// The mode's low four bits tell the track's kind: 9 audio, Ah mode 1, Bh mode 2, Ch and Dh
// mode 2 form 1 and 2; its high four bits carry nothing for this.
constexpr std::string_view kSignature = "MEDIA DESCRIPTOR";
constexpr std::size_t kHeader = 0x58, kSessionBlock = 0x18, kTrackBlock = 0x50, kNameBlock = 0x10;
constexpr std::uint32_t kSessionLimit = 64;
constexpr std::uint32_t kBlockLimit = 99 + 16;  // 99 tracks and the lead-in's points
constexpr std::size_t kNameLimit = 512;         // bytes of a file name read at most

// True when size bytes from at lie within the descriptor.
bool Within(std::string_view bytes, std::uint64_t at, std::uint64_t size) { return at <= bytes.size() && size <= bytes.size() - at; }

// The file a track block names; "*.mdf" when it names none.
std::optional<std::string> FileName(std::string_view bytes, std::size_t block) {
    if (Le(bytes, block + 0x30, 4) == 0) return "*.mdf";
    const std::uint64_t names = Le(bytes, block + 0x34, 4);
    if (!Within(bytes, names, kNameBlock)) return std::nullopt;
    const std::uint64_t at = Le(bytes, names, 4);
    if (!Within(bytes, at, 1)) return std::nullopt;
    const std::string_view rest = bytes.substr(at, kNameLimit);
    if (bytes[names + 4] != 1) return std::string(rest.substr(0, rest.find('\0')));
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < rest.size() && (rest[i] != 0 || rest[i + 1] != 0); i += 2)
        wide += static_cast<char16_t>(Le(rest, i, 2));
    return Utf8FromUtf16(wide);
}

}  // namespace

std::optional<MdsTrack> ParseMds(std::string_view bytes) {
    if (bytes.size() < kHeader || bytes.substr(0, kSignature.size()) != kSignature) return std::nullopt;
    const auto sessions = static_cast<std::uint32_t>(Le(bytes, 0x14, 2));
    const std::uint64_t sessionsAt = Le(bytes, 0x50, 4);
    if (sessions > kSessionLimit || !Within(bytes, sessionsAt, std::uint64_t{sessions} * kSessionBlock)) return std::nullopt;
    for (std::uint32_t s = 0; s < sessions; ++s) {
        const std::size_t session = sessionsAt + s * kSessionBlock;
        const auto blocks = static_cast<std::uint32_t>(Le(bytes, session + 0x0A, 1));
        const std::uint64_t blocksAt = Le(bytes, session + 0x14, 4);
        if (blocks > kBlockLimit || !Within(bytes, blocksAt, std::uint64_t{blocks} * kTrackBlock)) return std::nullopt;
        for (std::uint32_t b = 0; b < blocks; ++b) {
            const std::size_t block = blocksAt + b * kTrackBlock;
            const auto mode = static_cast<unsigned char>(bytes[block]) & 0x0F;
            const auto point = static_cast<unsigned char>(bytes[block + 4]);
            if (point < 1 || point > 99 || mode < 0x0A || mode > 0x0D) continue;  // lead-in, audio or none
            const auto sectorSize = static_cast<std::uint32_t>(Le(bytes, block + 0x10, 2));
            auto file = FileName(bytes, block);
            if ((sectorSize != 2048 && sectorSize != 2352 && sectorSize != 2448) || !file || file->empty()) return std::nullopt;
            return MdsTrack{std::move(*file), Le(bytes, block + 0x28, 8), sectorSize};
        }
    }
    return std::nullopt;
}

}  // namespace kavri
