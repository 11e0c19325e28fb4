#include "discimage/chd.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "discimage/byte_order.h"
#include "discimage/chd_map.h"
#include "discimage/lzma.h"

namespace kavri {
namespace {

using namespace chd;

constexpr std::uint32_t kSectorBytes = 2352;
constexpr int kMaxMetadata = 256;
constexpr int kTrackPadding = 4;  // each track's frames are padded to a multiple of 4

constexpr std::uint32_t Tag(const char (&text)[5]) {
    return std::uint32_t(text[0]) << 24 | std::uint32_t(text[1]) << 16 | std::uint32_t(text[2]) << 8 | std::uint32_t(text[3]);
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

}  // namespace

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

namespace {

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
        if (static_cast<unsigned char>(in[f / 8]) & (1u << (f % 8))) hunk.replace(f * kFrame, kSectorSync.size(), kSectorSync);
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
                auto hunk = HunkAt(index);
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
    std::optional<std::string> HunkAt(std::uint32_t index) {
        const auto stored = StoredHunk(map_, index);
        if (!stored) return std::nullopt;
        const Hunk& hunk = map_[*stored];
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

std::optional<ChdDisc> OpenChd(const ReadImage& file, std::uint64_t fileSize, MapCheck check) {
    const auto header = ReadHeader(file, fileSize);
    if (!header) return std::nullopt;
    const auto map = ReadMap(file, fileSize, *header, check);
    const auto track = map ? FirstDataTrack(file, fileSize, header->metaOffset) : std::nullopt;
    if (!track) return std::nullopt;
    auto chd = std::make_shared<ChdFile>(file, *header, std::move(*map));
    ReadImage frames = [chd](std::uint64_t at, std::size_t length) { return chd->Read(at, length); };
    return ChdDisc{std::move(frames), header->logicalBytes, SectorLayout{track->first * kFrame, kFrame, track->second}};
}

}  // namespace kavri
