// Reads arbitrary bytes as a package's PARAM.SFO, block index and blocks, behind a valid header
// with one disc or a table of discs (the first byte chooses): the title and the first disc as far
// as "SYSTEM.CNF", no fault, and never more than asked or than the limits allow.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "discimage/pbp.h"

namespace {

constexpr std::uint64_t kPsar = 0x20000, kDisc = 0x8000, kIndex = 0x4000, kData = 0x100000, kSfoSkip = 256;

struct Piece {
    std::uint64_t at;
    std::string bytes;
};

std::string Le32(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const bool several = size > 0 && (data[0] & 1);
    const std::uint64_t disc = kPsar + (several ? kDisc : 0);
    std::string header("\0PBP\0\0\x01\0", 8);
    for (int part = 0; part < 8; ++part) header += Le32(part == 0 ? 40 : part == 7 ? kPsar : 40 + static_cast<std::uint32_t>(size));
    // The index and the blocks are the input from its start; PARAM.SFO is the input after its first bytes.
    std::vector<Piece> pieces = {{0, header}, {40, size > kSfoSkip ? input.substr(kSfoSkip) : ""},
                                 {disc, "PSISOIMG0000"}, {disc + kIndex, input}, {disc + kData, input}};
    if (several) pieces.push_back({kPsar, "PSTITLEIMG000000"}), pieces.push_back({kPsar + 0x200, Le32(kDisc)});
    const std::uint64_t fileSize = disc + kData + size;
    int reads = 0;
    const kavri::ReadImage read = [&](std::uint64_t at, std::size_t length) -> std::optional<std::string> {
        if (++reads > 4096 || at > fileSize) return std::nullopt;
        std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(length, fileSize - at)), '\0');
        for (const Piece& piece : pieces) {
            const std::uint64_t from = std::max(piece.at, at), to = std::min(piece.at + piece.bytes.size(), at + bytes.size());
            if (from < to) bytes.replace(from - at, to - from, piece.bytes, from - piece.at, to - from);
        }
        return bytes;
    };
    if (const auto title = kavri::ReadPbpTitle(read, fileSize); title && title->size() > kavri::kPbpTitleLimit) __builtin_trap();
    const auto pbp = kavri::OpenPbp(read, fileSize);
    if (!pbp) __builtin_trap();  // the header and the disc's tag are valid
    for (const std::uint64_t at : {std::uint64_t{0}, std::uint64_t{16 * 2352}, std::uint64_t{size} * 7}) {
        const auto bytes = pbp->sectors(at, 2352);
        if (bytes && bytes->size() > 2352) __builtin_trap();
    }
    if (const auto layout = kavri::FindLayout(pbp->sectors, pbp->size)) {
        const auto cnf = kavri::ReadSystemCnf(pbp->sectors, pbp->size, *layout);
        if (cnf && cnf->size() > kavri::kSystemCnfLimit) __builtin_trap();
    }
    return 0;
}
