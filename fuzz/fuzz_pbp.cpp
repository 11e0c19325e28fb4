// Reads arbitrary bytes as a package's PARAM.SFO, block index and blocks, behind a valid header
// with one disc or a table of discs (the first byte chooses): the title and the first disc as far
// as "SYSTEM.CNF", no fault, and never more of the boot file or the title than the limits allow.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "discimage/pbp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const bool several = size > 0 && (data[0] & 1);
    const std::size_t psar = 0x20000, disc = psar + (several ? 0x8000 : 0);
    const std::uint64_t fileSize = disc + 0x100000 + size;
    std::vector<std::pair<std::uint64_t, std::string>> pieces;  // the file's bytes other than zeros
    const auto put = [&](std::uint64_t at, std::string bytes) { pieces.emplace_back(at, std::move(bytes)); };
    const auto le32 = [](std::size_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    put(0, std::string("\0PBP\0\0\x01\0", 8) + le32(40));
    for (std::size_t part = 1; part < 8; ++part) put(8 + 4 * part, le32(part == 7 ? psar : 40 + size));
    // PARAM.SFO is the input after its first 256 bytes; the block index and the blocks, all of it.
    put(40, input.substr(std::min<std::size_t>(size, 256)));
    put(disc, "PSISOIMG0000"), put(disc + 0x4000, input), put(disc + 0x100000, input);
    if (several) put(psar, "PSTITLEIMG000000"), put(psar + 0x200, le32(0x8000));
    int reads = 0;
    const kavri::ReadImage read = [&](std::uint64_t at, std::size_t length) -> std::optional<std::string> {
        if (++reads > 4096 || at > fileSize) return std::nullopt;
        std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(length, fileSize - at)), '\0');
        for (const auto& [from, piece] : pieces) {
            const std::uint64_t start = std::max(from, at), end = std::min(from + piece.size(), at + bytes.size());
            if (start < end) bytes.replace(start - at, end - start, piece, start - from, end - start);
        }
        return bytes;
    };
    if (const auto title = kavri::ReadPbpTitle(read, fileSize); title && title->size() > kavri::kPbpTitleLimit) __builtin_trap();
    const auto pbp = kavri::OpenPbp(read, fileSize);
    if (!pbp) __builtin_trap();  // the header and the disc's tag are valid
    const auto layout = kavri::FindLayout(pbp->sectors, pbp->size);
    const auto cnf = layout ? kavri::ReadSystemCnf(pbp->sectors, pbp->size, *layout) : std::nullopt;
    if (cnf && cnf->size() > kavri::kSystemCnfLimit) __builtin_trap();
    return 0;
}
