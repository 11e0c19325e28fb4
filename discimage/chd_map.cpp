#include "discimage/chd_map.h"

#include <algorithm>
#include <string>

#include "discimage/byte_order.h"

namespace kavri::chd {
namespace {

constexpr std::uint32_t kHeaderBytes = 124;
constexpr std::uint32_t kMaxMapBytes = 16 << 20;

// Bits most significant first; past the end they read as zeros and the reader says so.
class BitReader {
public:
    explicit BitReader(std::string_view data) : data_(data) {}
    std::uint32_t Peek(int count) const {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const std::size_t bit = at_ + static_cast<std::size_t>(i);
            const unsigned byte = bit / 8 < data_.size() ? static_cast<unsigned char>(data_[bit / 8]) : 0;
            value = (value << 1) | ((byte >> (7 - bit % 8)) & 1);
        }
        return value;
    }
    std::uint32_t Read(int count) {
        const std::uint32_t value = Peek(count);
        at_ += static_cast<std::size_t>(count);
        return value;
    }
    std::uint64_t Read48(int count) { return count > 32 ? std::uint64_t{Read(count - 32)} << 32 | Read(32) : Read(count); }
    bool Overran() const { return at_ > data_.size() * 8; }

private:
    std::string_view data_;
    std::size_t at_ = 0;
};

// The map's Huffman code of the 16 hunk kinds, at most 8 bits a code: lengths sent in 4 bits
// each with runs, codes given canonically from the longest length down.
class KindCode {
public:
    bool Import(BitReader& bits) {
        std::array<int, kKinds> lengths{};
        for (int kind = 0; kind < kKinds;) {
            int length = static_cast<int>(bits.Read(4));
            if (length != 1) {
                lengths[kind++] = length;
                continue;
            }
            length = static_cast<int>(bits.Read(4));
            if (length == 1) {
                lengths[kind++] = 1;
                continue;
            }
            const int repeat = static_cast<int>(bits.Read(4)) + 3;
            if (kind + repeat > kKinds) return false;
            for (int i = 0; i < repeat; ++i) lengths[kind++] = length;
        }
        std::array<std::uint32_t, 33> start{};
        for (const int length : lengths) {
            if (length > 8) return false;
            ++start[length];
        }
        std::uint32_t next = 0;
        for (int length = 32; length > 0; --length) {
            const std::uint32_t total = next + start[length];
            if (length != 1 && total % 2 != 0) return false;
            start[length] = next;
            next = total / 2;
        }
        lookup_.fill(0);
        for (int kind = 0; kind < kKinds; ++kind) {
            if (lengths[kind] == 0) continue;
            const std::uint32_t first = start[lengths[kind]]++ << (8 - lengths[kind]);
            const std::uint32_t count = 1u << (8 - lengths[kind]);
            if (first + count > lookup_.size()) return false;
            std::fill_n(lookup_.begin() + first, count, static_cast<std::uint16_t>(kind << 4 | lengths[kind]));
        }
        return true;
    }
    // A kind, or kKinds where no code fits the bits.
    unsigned Decode(BitReader& bits) const {
        const std::uint16_t entry = lookup_[bits.Peek(8)];
        if ((entry & 15) == 0) return kKinds;
        bits.Read(entry & 15);
        return entry >> 4;
    }

private:
    std::array<std::uint16_t, 256> lookup_{};
};

// CRC-16-CCITT, as the map's check.
std::uint16_t Crc16(std::uint16_t crc, const unsigned char* bytes, std::size_t count) {
    static const auto table = [] {
        std::array<std::uint16_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            std::uint16_t c = static_cast<std::uint16_t>(i << 8);
            for (int k = 0; k < 8; ++k) c = static_cast<std::uint16_t>(c & 0x8000 ? (c << 1) ^ 0x1021 : c << 1);
            t[i] = c;
        }
        return t;
    }();
    for (std::size_t i = 0; i < count; ++i) crc = static_cast<std::uint16_t>((crc << 8) ^ table[(crc >> 8) ^ bytes[i]]);
    return crc;
}

// The map of a file whose hunks are stored as they are: a 32-bit hunk number per hunk.
std::optional<std::vector<Hunk>> PlainMap(const ReadImage& file, const Header& header) {
    const auto raw = file(header.mapOffset, std::size_t{header.hunkCount} * 4);
    if (!raw || raw->size() != std::size_t{header.hunkCount} * 4) return std::nullopt;
    std::vector<Hunk> map(header.hunkCount);
    for (std::size_t i = 0; i < map.size(); ++i)
        map[i] = {kNone, header.hunkBytes, Be(*raw, 4 * i, 4) * header.hunkBytes};  // 0: never written, zeros
    return map;
}

// The compressed map's own header: its length, where the hunks' data starts, its CRC and the
// widths of its fields.
struct MapHead {
    std::uint64_t bytes = 0, firstOffset = 0;
    std::uint16_t crc = 0;
    int lengthBits = 0, selfBits = 0, parentBits = 0;
};

// The kinds of every hunk, in Huffman code, a run of the last kind coded as one of the two RLE
// pseudo-kinds and its length.
bool ReadKinds(BitReader& bits, std::vector<Hunk>& map) {
    KindCode code;
    if (!code.Import(bits)) return false;
    unsigned last = 0;
    for (std::size_t i = 0, repeat = 0; i < map.size(); ++i) {
        if (repeat > 0) {
            --repeat;
        } else if (const unsigned kind = code.Decode(bits); kind == kRleSmall) {
            repeat = 2 + code.Decode(bits);
        } else if (kind == kRleLarge) {
            repeat = 2 + 16 + (code.Decode(bits) << 4);
            repeat += code.Decode(bits);
        } else {
            last = kind;
        }
        map[i].kind = static_cast<std::uint8_t>(last);
    }
    return !bits.Overran();
}

// The CRC of the map goes over each hunk's entry as the file's reader keeps it: kind, 24-bit
// length, 48-bit offset and 16-bit check, big-endian.
std::uint16_t AddEntry(std::uint16_t crc, const Hunk& hunk, std::uint16_t check) {
    unsigned char entry[12] = {hunk.kind};
    for (int b = 0; b < 3; ++b) entry[1 + b] = static_cast<unsigned char>(hunk.length >> (16 - 8 * b));
    for (int b = 0; b < 6; ++b) entry[4 + b] = static_cast<unsigned char>(hunk.offset >> (40 - 8 * b));
    entry[10] = static_cast<unsigned char>(check >> 8);
    entry[11] = static_cast<unsigned char>(check);
    return Crc16(crc, entry, sizeof entry);
}

// Each hunk's length, place and check in fields of the widths the map's header gives; the
// pseudo-kinds of copies become copies of the hunk they name. False when the CRC differs.
bool ReadPlaces(BitReader& bits, const MapHead& head, const Header& header, std::vector<Hunk>& map, MapCheck check) {
    std::uint64_t place = head.firstOffset, lastSelf = 0, lastParent = 0;
    const std::uint64_t unitsPerHunk = header.hunkBytes / kFrame;
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < map.size(); ++i) {
        Hunk& hunk = map[i];
        std::uint16_t check = 0;
        switch (hunk.kind) {
            case 0: case 1: case 2: case kCodec3: case kNone:
                hunk.length = hunk.kind == kNone ? header.hunkBytes : bits.Read(head.lengthBits);
                hunk.offset = place;
                place += hunk.length;
                check = static_cast<std::uint16_t>(bits.Read(16));
                break;
            case kSelf: hunk.offset = lastSelf = bits.Read(head.selfBits); break;
            case kParent: hunk.offset = lastParent = bits.Read48(head.parentBits); break;
            case kSelf1: ++lastSelf; [[fallthrough]];
            case kSelf0: hunk = {kSelf, 0, lastSelf}; break;
            case kParentSelf: hunk = {kParent, 0, lastParent = i * unitsPerHunk}; break;
            case kParent1: lastParent += unitsPerHunk; [[fallthrough]];
            case kParent0: hunk = {kParent, 0, lastParent}; break;
            default: return false;
        }
        crc = AddEntry(crc, hunk, check);
    }
    return !bits.Overran() && (crc == head.crc || check == MapCheck::SkipCrcForFuzzing);
}

std::optional<std::vector<Hunk>> CompressedMap(const ReadImage& file, std::uint64_t fileSize, const Header& header,
                                               MapCheck check) {
    const auto raw = file(header.mapOffset, 16);
    if (!raw || raw->size() != 16) return std::nullopt;
    const auto byte = [&](std::size_t at) { return static_cast<int>(static_cast<unsigned char>((*raw)[at])); };
    const MapHead head{Be(*raw, 0, 4), Be(*raw, 4, 6), static_cast<std::uint16_t>(Be(*raw, 10, 2)), byte(12), byte(13), byte(14)};
    if (head.bytes > kMaxMapBytes || head.bytes > fileSize || head.lengthBits > 32 || head.selfBits > 32 ||
        head.parentBits > 48)
        return std::nullopt;
    const auto packed = file(header.mapOffset + 16, static_cast<std::size_t>(head.bytes));
    if (!packed || packed->size() != head.bytes) return std::nullopt;
    BitReader bits(*packed);
    std::vector<Hunk> map(header.hunkCount);
    if (!ReadKinds(bits, map) || !ReadPlaces(bits, head, header, map, check)) return std::nullopt;
    return map;
}

}  // namespace

std::optional<Header> ReadHeader(const ReadImage& file, std::uint64_t fileSize) {
    const auto raw = file(0, kHeaderBytes);
    if (!raw || raw->size() != kHeaderBytes || raw->substr(0, 8) != "MComprHD" || Be(*raw, 8, 4) != kHeaderBytes ||
        Be(*raw, 12, 4) != 5)
        return std::nullopt;
    Header header;
    for (std::size_t i = 0; i < 4; ++i) header.codecs[i] = static_cast<std::uint32_t>(Be(*raw, 16 + 4 * i, 4));
    header.logicalBytes = Be(*raw, 32, 8);
    header.mapOffset = Be(*raw, 40, 8);
    header.metaOffset = Be(*raw, 48, 8);
    header.hunkBytes = static_cast<std::uint32_t>(Be(*raw, 56, 4));
    const bool needsParent = raw->substr(104, 20).find_first_not_of('\0') != std::string::npos;
    if (needsParent || Be(*raw, 60, 4) != kFrame || header.hunkBytes == 0 || header.hunkBytes % kFrame != 0 ||
        header.hunkBytes > kMaxHunkBytes || header.mapOffset >= fileSize || header.logicalBytes / header.hunkBytes >= kMaxHunks)
        return std::nullopt;
    header.hunkCount = static_cast<std::uint32_t>((header.logicalBytes + header.hunkBytes - 1) / header.hunkBytes);
    return header;
}

std::optional<std::vector<Hunk>> ReadMap(const ReadImage& file, std::uint64_t fileSize, const Header& header,
                                         MapCheck check) {
    return header.codecs[0] == 0 ? PlainMap(file, header) : CompressedMap(file, fileSize, header, check);
}

std::optional<std::uint32_t> StoredHunk(const std::vector<Hunk>& map, std::uint32_t index) {
    // Only an earlier hunk may be copied, so every chain of copies ends within the map.
    while (index < map.size() && map[index].kind == kSelf) {
        if (map[index].offset >= index) return std::nullopt;
        index = static_cast<std::uint32_t>(map[index].offset);
    }
    if (index >= map.size() || map[index].kind == kParent) return std::nullopt;
    return index;
}

}  // namespace kavri::chd
