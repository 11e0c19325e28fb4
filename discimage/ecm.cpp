#include "discimage/ecm.h"

#include <algorithm>
#include <vector>

namespace kavri {
namespace {

constexpr std::size_t kRunLimit = 1 << 18;  // runs of one kind remembered at most
constexpr std::size_t kWindow = 64 * 1024;  // bytes of the packed file read at once

// Bytes packed and unpacked for one unit of each kind: raw bytes, a mode 1 sector, a mode 2
// form 1 and a mode 2 form 2 sector (both without sync and header).
constexpr std::uint32_t kPackedUnit[] = {1, 3 + 2048, 4 + 2048, 4 + 2324};
constexpr std::uint32_t kUnpackedUnit[] = {1, 2352, 2336, 2336};

struct Run {
    std::uint64_t packedAt, unpackedAt, units;
    int kind;
};

class EcmImage {
public:
    EcmImage(ReadImage packed, std::uint64_t size) : packed_(std::move(packed)), size_(size) {}

    std::optional<std::string> Read(std::uint64_t at, std::size_t length) {
        while (!ended_ && unpacked_ < at + length) ScanRun();
        std::string out;
        auto run = std::upper_bound(runs_.begin(), runs_.end(), at,
                                    [](std::uint64_t offset, const Run& r) { return offset < r.unpackedAt; });
        if (run == runs_.begin()) return std::nullopt;
        for (--run; run != runs_.end() && out.size() < length; ++run)
            if (!Append(*run, at, length, out)) break;
        if (out.empty()) return std::nullopt;
        return out;
    }

private:
    // Bytes of the packed file through one window of it, so that runs and sectors lying close
    // together cost one read of the file, however many of them there are.
    std::optional<std::string> Packed(std::uint64_t at, std::size_t length) {
        if (at >= size_) return std::string();
        if (length > kWindow) return packed_(at, length);
        if (at < cacheAt_ || at + length > cacheAt_ + cache_.size()) {
            if (cacheAt_ + cache_.size() == size_ && at >= cacheAt_) return cache_.substr(at - cacheAt_, length);  // at the end
            auto window = packed_(at, kWindow);
            if (!window) return std::nullopt;
            cacheAt_ = at;
            cache_ = std::move(*window);
        }
        return cache_.substr(static_cast<std::size_t>(at - cacheAt_), length);
    }

    std::optional<unsigned char> Byte(std::uint64_t at) {
        const auto byte = Packed(at, 1);
        if (!byte || byte->empty()) return std::nullopt;
        return static_cast<unsigned char>((*byte)[0]);
    }

    // The next run's header: its kind in the low 2 bits, then the unit count less one in 5 bits
    // and 7 more bits per byte with the top bit set; a count of all ones ends the file.
    void ScanRun() {
        auto c = Byte(packedAt_++);
        std::uint64_t count = c ? (*c >> 2) & 0x1F : 0;
        const int kind = c ? *c & 3 : 0;
        for (int shift = 5; c && (*c & 0x80) && shift < 32; shift += 7) {
            c = Byte(packedAt_++);
            if (c) count |= std::uint64_t{*c & 0x7Fu} << shift;
        }
        if (!c || (*c & 0x80) || count >= 0x80000000u || runs_.size() >= kRunLimit) {
            ended_ = true;  // the end mark, a cut-off or a lie
            return;
        }
        const Run run{packedAt_, unpacked_, count + 1, kind};
        packedAt_ += run.units * kPackedUnit[kind];
        if (packedAt_ > size_) {
            ended_ = true;
            return;
        }
        runs_.push_back(run);
        unpacked_ += run.units * kUnpackedUnit[kind];
    }

    // Appends to out, which holds the unpacked bytes from at on, those of run, up to length in all.
    bool Append(const Run& run, std::uint64_t at, std::size_t length, std::string& out) {
        const std::uint64_t from = at + out.size();
        const std::uint64_t unit = (from - run.unpackedAt) / kUnpackedUnit[run.kind];
        if (unit >= run.units) return false;
        if (run.kind == 0) {
            const std::uint64_t wanted = std::min<std::uint64_t>(length - out.size(), run.units - unit);
            const auto bytes = Packed(run.packedAt + unit, static_cast<std::size_t>(wanted));
            if (!bytes) return false;
            out += *bytes;
            return bytes->size() == wanted;
        }
        for (std::uint64_t u = unit; u < run.units && out.size() < length; ++u) {
            const auto sector = Sector(run, u);
            if (!sector) return false;
            const std::uint64_t begins = run.unpackedAt + u * kUnpackedUnit[run.kind];
            const std::size_t skip = at + out.size() > begins ? static_cast<std::size_t>(at + out.size() - begins) : 0;
            out += sector->substr(skip, length - out.size());
        }
        return true;
    }

    std::optional<std::string> Sector(const Run& run, std::uint64_t unit) {
        const auto packed = Packed(run.packedAt + unit * kPackedUnit[run.kind], kPackedUnit[run.kind]);
        if (!packed || packed->size() != kPackedUnit[run.kind]) return std::nullopt;
        std::string sector(kUnpackedUnit[run.kind], '\0');
        if (run.kind == 1) {  // sync, the 3-byte address, mode 1, the data
            sector.replace(0, kSectorSync.size(), kSectorSync);
            sector.replace(12, 3, *packed, 0, 3);
            sector[15] = 1;
            sector.replace(16, 2048, *packed, 3, 2048);
        } else {  // the subheader twice, the data
            sector.replace(0, 4, *packed, 0, 4);
            sector.replace(4, 4, *packed, 0, 4);
            sector.replace(8, packed->size() - 4, *packed, 4, packed->size() - 4);
        }
        return sector;
    }

    ReadImage packed_;
    std::uint64_t size_;
    std::uint64_t packedAt_ = 4, unpacked_ = 0;
    bool ended_ = false;
    std::vector<Run> runs_;
    std::uint64_t cacheAt_ = 0;
    std::string cache_;  // the packed bytes from cacheAt_ on
};

}  // namespace

std::optional<ReadImage> UnpackEcm(ReadImage packed, std::uint64_t packedSize) {
    const auto magic = packed(0, 4);
    if (!magic || *magic != std::string_view("ECM\0", 4)) return std::nullopt;
    auto image = std::make_shared<EcmImage>(std::move(packed), packedSize);
    return ReadImage([image](std::uint64_t at, std::size_t length) { return image->Read(at, length); });
}

}  // namespace kavri
