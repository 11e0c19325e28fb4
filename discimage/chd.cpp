#include "discimage/chd.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "discimage/lzma.h"

namespace kavri {
namespace {

constexpr std::uint32_t kFrame = 2448;  // a sector of 2,352 bytes and 96 of subchannel
constexpr std::uint32_t kSectorBytes = 2352;
constexpr std::uint32_t kHeaderBytes = 124;
constexpr std::uint32_t kMaxHunkBytes = 1 << 20;
constexpr std::uint64_t kMaxHunks = 1 << 20;
constexpr std::uint32_t kMaxMapBytes = 16 << 20;
constexpr int kMaxMetadata = 256;
constexpr int kTrackPadding = 4;  // each track's frames are padded to a multiple of 4
constexpr std::string_view kSync("\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00", 12);

constexpr std::uint32_t Tag(const char (&text)[5]) {
    return std::uint32_t(text[0]) << 24 | std::uint32_t(text[1]) << 16 | std::uint32_t(text[2]) << 8 | std::uint32_t(text[3]);
}

// Hunk kinds of the map: a codec of the header's four, stored as it is, a copy of an earlier
// hunk of this file or of the parent's; and the pseudo-kinds that the map's coding folds away.
enum Kind : std::uint8_t {
    kCodec3 = 3, kNone = 4, kSelf = 5, kParent = 6, kRleSmall = 7, kRleLarge = 8,
    kSelf0 = 9, kSelf1 = 10, kParentSelf = 11, kParent0 = 12, kParent1 = 13, kKinds = 16,
};

std::uint64_t Be(std::string_view bytes, std::size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

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

struct Hunk {
    std::uint8_t kind = kNone;
    std::uint32_t length = 0;
    std::uint64_t offset = 0;
};

struct Header {
    std::array<std::uint32_t, 4> codecs{};
    std::uint64_t logicalBytes = 0, mapOffset = 0, metaOffset = 0;
    std::uint32_t hunkBytes = 0, hunkCount = 0;
};

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

// The map of a file whose hunks are stored as they are: a 32-bit hunk number per hunk.
std::optional<std::vector<Hunk>> PlainMap(const ReadImage& file, const Header& header) {
    const auto raw = file(header.mapOffset, std::size_t{header.hunkCount} * 4);
    if (!raw || raw->size() != std::size_t{header.hunkCount} * 4) return std::nullopt;
    std::vector<Hunk> map(header.hunkCount);
    for (std::size_t i = 0; i < map.size(); ++i)
        map[i] = {kNone, header.hunkBytes, Be(*raw, 4 * i, 4) * header.hunkBytes};  // 0: never written, zeros
    return map;
}

// The compressed map: the kinds in Huffman code with runs, then per hunk its length, place and
// check in fields of the widths the map's header gives; the CRC of the whole map closes it.
std::optional<std::vector<Hunk>> CompressedMap(const ReadImage& file, std::uint64_t fileSize, const Header& header) {
    const auto head = file(header.mapOffset, 16);
    if (!head || head->size() != 16) return std::nullopt;
    const std::uint64_t mapBytes = Be(*head, 0, 4);
    const int lengthBits = static_cast<unsigned char>((*head)[12]), selfBits = static_cast<unsigned char>((*head)[13]);
    const int parentBits = static_cast<unsigned char>((*head)[14]);
    if (mapBytes > kMaxMapBytes || mapBytes > fileSize || lengthBits > 32 || selfBits > 32 || parentBits > 48) return std::nullopt;
    const auto packed = file(header.mapOffset + 16, static_cast<std::size_t>(mapBytes));
    if (!packed || packed->size() != mapBytes) return std::nullopt;
    BitReader bits(*packed);
    KindCode code;
    if (!code.Import(bits)) return std::nullopt;
    std::vector<Hunk> map(header.hunkCount);
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
        if (repeat > map.size() * 16 || bits.Overran()) return std::nullopt;
    }
    std::uint64_t place = Be(*head, 4, 6), lastSelf = 0, lastParent = 0;
    const std::uint64_t unitsPerHunk = header.hunkBytes / kFrame;
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < map.size(); ++i) {
        Hunk& hunk = map[i];
        std::uint16_t check = 0;
        switch (hunk.kind) {
            case 0: case 1: case 2: case kCodec3: case kNone:
                hunk.length = hunk.kind == kNone ? header.hunkBytes : bits.Read(lengthBits);
                hunk.offset = place;
                place += hunk.length;
                check = static_cast<std::uint16_t>(bits.Read(16));
                break;
            case kSelf: hunk.offset = lastSelf = bits.Read(selfBits); break;
            case kParent: hunk.offset = lastParent = bits.Read48(parentBits); break;
            case kSelf1: ++lastSelf; [[fallthrough]];
            case kSelf0: hunk = {kSelf, 0, lastSelf}; break;
            case kParentSelf: hunk = {kParent, 0, lastParent = i * unitsPerHunk}; break;
            case kParent1: lastParent += unitsPerHunk; [[fallthrough]];
            case kParent0: hunk = {kParent, 0, lastParent}; break;
            default: return std::nullopt;
        }
        unsigned char entry[12] = {hunk.kind};
        for (int b = 0; b < 3; ++b) entry[1 + b] = static_cast<unsigned char>(hunk.length >> (16 - 8 * b));
        for (int b = 0; b < 6; ++b) entry[4 + b] = static_cast<unsigned char>(hunk.offset >> (40 - 8 * b));
        entry[10] = static_cast<unsigned char>(check >> 8);
        entry[11] = static_cast<unsigned char>(check);
        crc = Crc16(crc, entry, sizeof entry);
    }
    if (bits.Overran() || crc != Be(*head, 10, 2)) return std::nullopt;
    return map;
}

// The first data track from the CD metadata ("CHT2", or "CHTR" without gaps): its first frame
// in the file's frames and the offset of the user data in each frame.
std::optional<std::pair<std::uint64_t, std::uint32_t>> FirstDataTrack(const ReadImage& file, std::uint64_t fileSize,
                                                                        std::uint64_t entryAt) {
    std::map<int, std::map<std::string, std::string>> tracks;
    for (int entries = 0; entryAt != 0 && entryAt < fileSize && entries < kMaxMetadata; ++entries) {
        const auto head = file(entryAt, 16);
        if (!head || head->size() != 16) return std::nullopt;
        const auto tag = Be(*head, 0, 4);
        if (tag == Tag("CHT2") || tag == Tag("CHTR")) {
            const auto text = file(entryAt + 16, std::min<std::size_t>(Be(*head, 5, 3), 512));
            if (!text) return std::nullopt;
            std::map<std::string, std::string> fields;
            for (std::size_t at = 0; at < text->size();) {
                const std::size_t end = std::min(text->find_first_of(std::string_view(" \0", 2), at), text->size());
                const std::string field = text->substr(at, end - at);
                if (const std::size_t colon = field.find(':'); colon != std::string::npos)
                    fields[field.substr(0, colon)] = field.substr(colon + 1);
                at = end + 1;
            }
            tracks[std::atoi(fields["TRACK"].c_str())] = fields;
        }
        entryAt = Be(*head, 8, 8);
    }
    static const std::map<std::string, std::uint32_t> kDataOffset = {
        {"MODE1", 0}, {"MODE1_RAW", 16}, {"MODE2", 8}, {"MODE2_FORM1", 0}, {"MODE2_FORM_MIX", 8}, {"MODE2_RAW", 24}};
    std::uint64_t frame = 0;
    for (auto& [number, fields] : tracks) {
        const auto frames = static_cast<std::uint64_t>(std::strtoull(fields["FRAMES"].c_str(), nullptr, 10));
        if (frames > kMaxHunks * kMaxHunkBytes / kFrame) return std::nullopt;
        if (const auto data = kDataOffset.find(fields["TYPE"]); data != kDataOffset.end()) {
            // A pregap stored in the file ("V" types) comes before the track's first sector.
            const bool storedPregap = !fields["PGTYPE"].empty() && fields["PGTYPE"][0] == 'V';
            return std::pair{frame + (storedPregap ? std::strtoull(fields["PREGAP"].c_str(), nullptr, 10) : 0), data->second};
        }
        frame += (frames + kTrackPadding - 1) / kTrackPadding * kTrackPadding;
    }
    return std::nullopt;
}

std::optional<std::string> Inflate(std::string_view in, std::size_t outSize) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
    std::string out(outSize, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(outSize);
    inflate(&stream, Z_FINISH);
    const bool whole = stream.avail_out == 0;
    inflateEnd(&stream);
    return whole ? std::optional<std::string>(std::move(out)) : std::nullopt;
}

// A hunk of a CD codec: a bit per frame whose sync and error codes were left out, the length of
// the sectors' compressed bytes, those bytes, then the subchannel's. Only the sectors are
// decompressed: nothing read needs the subchannel, which stays zeros, nor the error codes.
std::optional<std::string> CdHunk(std::string_view in, std::uint32_t hunkBytes, bool lzma) {
    const std::uint32_t frames = hunkBytes / kFrame;
    const std::size_t eccBytes = (frames + 7) / 8, lengthBytes = hunkBytes < 65536 ? 2 : 3;
    if (in.size() < eccBytes + lengthBytes) return std::nullopt;
    const std::uint64_t sectorsLength = Be(in, eccBytes, static_cast<int>(lengthBytes));
    const std::string_view packed = in.substr(eccBytes + lengthBytes);
    if (sectorsLength > packed.size()) return std::nullopt;
    const auto sectors = lzma ? DecodeLzma(packed.substr(0, sectorsLength), {3, 0, 2, kMaxHunkBytes}, frames * kSectorBytes)
                              : Inflate(packed.substr(0, sectorsLength), frames * kSectorBytes);
    if (!sectors) return std::nullopt;
    std::string hunk(hunkBytes, '\0');
    for (std::uint32_t f = 0; f < frames; ++f) {
        hunk.replace(f * kFrame, kSectorBytes, *sectors, f * kSectorBytes, kSectorBytes);
        if (static_cast<unsigned char>(in[f / 8]) & (1u << (f % 8))) hunk.replace(f * kFrame, kSync.size(), kSync);
    }
    return hunk;
}

class ChdFile {
public:
    ChdFile(ReadImage file, Header header, std::vector<Hunk> map)
        : file_(std::move(file)), header_(header), map_(std::move(map)) {}

    std::optional<std::string> Read(std::uint64_t at, std::size_t length) {
        std::string out;
        while (out.size() < length && at + out.size() < header_.logicalBytes) {
            const std::uint64_t position = at + out.size();
            const auto index = static_cast<std::uint32_t>(position / header_.hunkBytes);
            if (index != cachedIndex_ || cached_.empty()) {
                auto hunk = HunkAt(index, 0);
                if (!hunk) break;
                cached_ = std::move(*hunk);
                cachedIndex_ = index;
            }
            const std::size_t from = static_cast<std::size_t>(position % header_.hunkBytes);
            out += cached_.substr(from, length - out.size());
        }
        if (out.empty() && length > 0) return std::nullopt;
        return out;
    }

private:
    std::optional<std::string> HunkAt(std::uint32_t index, int depth) {
        const Hunk& hunk = map_[index];
        if (hunk.kind == kSelf) {
            // Only an earlier hunk may be copied, so a chain of copies ends.
            if (hunk.offset >= index || depth > 8) return std::nullopt;
            return HunkAt(static_cast<std::uint32_t>(hunk.offset), depth + 1);
        }
        if (hunk.kind == kNone) {
            if (hunk.offset == 0) return std::string(header_.hunkBytes, '\0');
            auto raw = file_(hunk.offset, header_.hunkBytes);
            if (!raw || raw->size() != header_.hunkBytes) return std::nullopt;
            return raw;
        }
        if (hunk.kind > kCodec3) return std::nullopt;  // a parent's hunk
        const auto packed = file_(hunk.offset, hunk.length);
        if (!packed || packed->size() != hunk.length) return std::nullopt;
        const std::uint32_t codec = header_.codecs[hunk.kind];
        if (codec == Tag("cdlz") || codec == Tag("cdzl")) return CdHunk(*packed, header_.hunkBytes, codec == Tag("cdlz"));
        return std::nullopt;  // "cdfl" holds audio only; "cdzs" and others are not read
    }

    ReadImage file_;
    Header header_;
    std::vector<Hunk> map_;
    std::uint32_t cachedIndex_ = 0;
    std::string cached_;
};

}  // namespace

std::optional<ChdDisc> OpenChd(const ReadImage& file, std::uint64_t fileSize) {
    const auto header = ReadHeader(file, fileSize);
    if (!header) return std::nullopt;
    const auto map = header->codecs[0] == 0 ? PlainMap(file, *header) : CompressedMap(file, fileSize, *header);
    const auto track = map ? FirstDataTrack(file, fileSize, header->metaOffset) : std::nullopt;
    if (!track) return std::nullopt;
    auto chd = std::make_shared<ChdFile>(file, *header, std::move(*map));
    ReadImage frames = [chd](std::uint64_t at, std::size_t length) { return chd->Read(at, length); };
    return ChdDisc{std::move(frames), header->logicalBytes, SectorLayout{track->first * kFrame, kFrame, track->second}};
}

}  // namespace kavri
