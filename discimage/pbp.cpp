#include "discimage/pbp.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "base/text_util.h"
#include "discimage/chd.h"
#include "discimage/byte_order.h"

// The layout read here, as public descriptions of the format give it (all numbers little-endian):
// - The package: "\0PBP", a version (u32), then eight u32 offsets from the file's start, of
//   PARAM.SFO, ICON0.PNG, ICON1.PMF, PIC0.PNG, PIC1.PNG, SND0.AT3, DATA.PSP and DATA.PSAR; each
//   part runs to the next offset, the last to the file's end.
// - PARAM.SFO: "\0PSF", a version, the key table's and the data table's offsets (u32, from the
//   part's start), the entry count (u32); from byte 20, 16-byte entries: key offset (u16, in the
//   key table), data format (u16), data length (u32), data's room (u32), data offset (u32, in the
//   data table). Keys are NUL-terminated; "TITLE" is UTF-8 text.
// - DATA.PSAR: one disc ("PSISOIMG0000" at its start), or several ("PSTITLEIMG000000" at its
//   start, then at byte 0x200 up to five u32 offsets, from DATA.PSAR's start, of each disc's
//   "PSISOIMG0000" part, the first disc first).
// - A disc's part: from byte 0x4000 the block index, 32 bytes an entry: the block's offset (u32,
//   from the disc's data), its length (u16), then a kind, a hash and padding not read here. The
//   disc's data starts at byte 0x100000. Each block holds 16 raw 2352-byte sectors, stored whole
//   (its length is 16 * 2352) or raw-deflated (shorter).

namespace kavri {
namespace {

constexpr std::size_t kHeaderBytes = 40;
constexpr int kParts = 8;
constexpr int kSfoPart = 0, kPsarPart = 7;
constexpr std::uint64_t kDiscTable = 0x200;
constexpr std::uint64_t kBlockIndex = 0x4000, kDiscData = 0x100000;
constexpr std::uint64_t kEntryBytes = 32, kMaxBlocks = (kDiscData - kBlockIndex) / kEntryBytes;
constexpr std::size_t kBlockBytes = 16 * 2352;
constexpr std::size_t kSfoLimit = 16 * 1024;  // as much of PARAM.SFO as is read

// Exactly length bytes at offset, or nothing.
std::optional<std::string> ReadExactly(const ReadImage& file, std::uint64_t fileSize, std::uint64_t at, std::size_t length) {
    if (at > fileSize || length > fileSize - at) return std::nullopt;
    auto bytes = file(at, length);
    if (!bytes || bytes->size() != length) return std::nullopt;
    return bytes;
}

// The parts' offsets, each within the file and none before the one it follows.
std::optional<std::vector<std::uint64_t>> PartOffsets(const ReadImage& file, std::uint64_t fileSize) {
    const auto header = ReadExactly(file, fileSize, 0, kHeaderBytes);
    if (!header || header->compare(0, 4, std::string_view("\0PBP", 4)) != 0) return std::nullopt;
    std::vector<std::uint64_t> offsets;
    for (int part = 0; part < kParts; ++part) {
        const std::uint64_t at = Le(*header, 8 + 4 * static_cast<std::size_t>(part), 4);
        if (at < kHeaderBytes || at > fileSize || (!offsets.empty() && at < offsets.back())) return std::nullopt;
        offsets.push_back(at);
    }
    return offsets;
}

bool Tagged(const ReadImage& file, std::uint64_t fileSize, std::uint64_t at, std::string_view tag) {
    const auto bytes = ReadExactly(file, fileSize, at, tag.size());
    return bytes && *bytes == tag;
}

// Where the first disc's part starts in the file.
std::optional<std::uint64_t> FirstDisc(const ReadImage& file, std::uint64_t fileSize, std::uint64_t psar) {
    if (Tagged(file, fileSize, psar, "PSISOIMG0000")) return psar;
    if (!Tagged(file, fileSize, psar, "PSTITLEIMG000000")) return std::nullopt;
    const auto first = ReadExactly(file, fileSize, psar + kDiscTable, 4);
    const std::uint64_t disc = first ? psar + Le(*first, 0, 4) : 0;
    if (!first || disc == psar || !Tagged(file, fileSize, disc, "PSISOIMG0000")) return std::nullopt;
    return disc;
}

class PbpBlocks {
public:
    PbpBlocks(ReadImage file, std::uint64_t fileSize, std::uint64_t disc)
        : file_(std::move(file)), fileSize_(fileSize), disc_(disc) {}

    std::optional<std::string> Read(std::uint64_t at, std::size_t length) {
        std::string out;
        while (out.size() < length) {
            const std::uint64_t position = at + out.size();
            const std::uint64_t index = position / kBlockBytes;
            if (index != cachedIndex_ || cached_.empty()) {
                auto block = Block(index);
                if (!block) break;
                cached_ = std::move(*block);
                cachedIndex_ = index;
            }
            out += cached_.substr(static_cast<std::size_t>(position % kBlockBytes), length - out.size());
        }
        if (out.empty() && length > 0) return std::nullopt;
        return out;
    }

private:
    // The 16 sectors of block index; nothing past the index or for an entry that lies.
    std::optional<std::string> Block(std::uint64_t index) {
        if (index >= kMaxBlocks) return std::nullopt;
        const auto entry = ReadExactly(file_, fileSize_, disc_ + kBlockIndex + index * kEntryBytes, 6);
        if (!entry) return std::nullopt;
        const std::uint32_t offset = Le(*entry, 0, 4), length = Le(*entry, 4, 2);
        if (length == 0 || length > kBlockBytes) return std::nullopt;
        auto packed = ReadExactly(file_, fileSize_, disc_ + kDiscData + offset, length);
        if (!packed || length == kBlockBytes) return packed;
        return Inflate(*packed, kBlockBytes);
    }

    ReadImage file_;
    std::uint64_t fileSize_, disc_;
    std::uint64_t cachedIndex_ = 0;
    std::string cached_;
};

}  // namespace

bool HasPbpHeader(const ReadImage& file, std::uint64_t fileSize) { return PartOffsets(file, fileSize).has_value(); }

std::optional<PbpDisc> OpenPbp(ReadImage file, std::uint64_t fileSize) {
    const auto offsets = PartOffsets(file, fileSize);
    const auto disc = offsets ? FirstDisc(file, fileSize, (*offsets)[kPsarPart]) : std::nullopt;
    if (!disc || *disc + kDiscData > fileSize) return std::nullopt;
    auto blocks = std::make_shared<PbpBlocks>(std::move(file), fileSize, *disc);
    ReadImage sectors = [blocks](std::uint64_t at, std::size_t length) { return blocks->Read(at, length); };
    return PbpDisc{std::move(sectors), kMaxBlocks * kBlockBytes};
}

std::optional<std::string> ReadPbpTitle(const ReadImage& file, std::uint64_t fileSize) {
    const auto offsets = PartOffsets(file, fileSize);
    if (!offsets) return std::nullopt;
    const std::uint64_t start = (*offsets)[kSfoPart], end = (*offsets)[kSfoPart + 1];
    const auto sfo = ReadExactly(file, fileSize, start, static_cast<std::size_t>(std::min<std::uint64_t>(end - start, kSfoLimit)));
    if (!sfo || sfo->size() < 20 || sfo->compare(0, 4, std::string_view("\0PSF", 4)) != 0) return std::nullopt;
    const std::string_view whole(*sfo);
    const std::uint64_t keys = Le(whole, 8, 4), data = Le(whole, 12, 4), count = Le(whole, 16, 4);
    for (std::size_t entry = 0; entry < count && 20 + 16 * (entry + 1) <= whole.size(); ++entry) {
        const std::size_t at = 20 + 16 * entry;
        const std::uint64_t key = keys + Le(whole, at, 2), value = data + Le(whole, at + 12, 4), length = Le(whole, at + 4, 4);
        if (key >= whole.size() || whole.substr(static_cast<std::size_t>(key), 6) != std::string_view("TITLE\0", 6)) continue;
        if (value > whole.size() || length > whole.size() - value) return std::nullopt;
        std::string_view text = whole.substr(static_cast<std::size_t>(value), static_cast<std::size_t>(length));
        text = Trim(text.substr(0, text.find('\0')), " ");
        const bool control = std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
        if (text.empty() || text.size() > kPbpTitleLimit || control || !IsUtf8(text)) return std::nullopt;
        return std::string(text);
    }
    return std::nullopt;
}

}  // namespace kavri
