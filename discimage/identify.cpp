#include "discimage/identify.h"

#include <map>

#include "base/game_id.h"
#include "base/text_util.h"
#include "discimage/ccd.h"
#include "discimage/chd.h"
#include "discimage/disc_lists.h"
#include "discimage/ecm.h"
#include "discimage/image_path.h"
#include "discimage/iso_image.h"
#include "discimage/mds.h"
#include "discimage/pbp.h"
#include "discimage/nrg.h"

namespace kavri {
namespace {

constexpr std::uint64_t kUnknownSize = std::uint64_t{1} << 40;  // an unpacked image is measured by reading it

// The files of one identification, each opened once and read through its one handle, with the
// reads of all of them counted against the limit. A file that could not be opened or read makes
// the identification unfinished; the limit reached only ends it, as content that lies.
class ImageFiles {
public:
    explicit ImageFiles(FileSystem& files) : files_(files) {}

    bool Failed() const { return failed_; }

    // A disk file is at path; nothing is opened.
    bool Exists(const std::string& path) { return NamesDiskFile(path) && files_.Stamp(path).has_value(); }

    // A reader of the file at path and its size.
    std::optional<std::pair<ReadImage, std::uint64_t>> Open(const std::string& path) {
        ReadOnlyFile* file = Find(path);
        if (!file) return std::nullopt;
        ReadImage read = [this, file](std::uint64_t at, std::size_t length) -> std::optional<std::string> {
            if (++reads_ > kImageReadLimit) return std::nullopt;
            auto bytes = file->ReadAt(at, length);
            if (!bytes) failed_ = true;
            return bytes;
        };
        return std::pair{std::move(read), file->Size()};
    }

    std::optional<std::string> Text(const std::string& path, std::size_t limit) {
        const auto file = Open(path);
        return file ? file->first(0, limit) : std::nullopt;
    }

private:
    ReadOnlyFile* Find(const std::string& path) {
        if (!NamesDiskFile(path)) return nullptr;
        const std::string key = IdKey(path);
        if (const auto it = open_.find(key); it != open_.end()) return it->second.get();
        auto file = files_.OpenDiskFile(path);
        if (!file) {
            failed_ = true;
            return nullptr;
        }
        return (open_[key] = std::move(file)).get();
    }

    FileSystem& files_;
    std::map<std::string, std::unique_ptr<ReadOnlyFile>> open_;
    int reads_ = 0;
    bool failed_ = false;
};

struct Image {
    ReadImage read;
    std::uint64_t size;
    std::optional<SectorLayout> layout;  // where it is known without looking
};

std::optional<Image> Open(ImageFiles& files, const std::string& path) {
    auto file = files.Open(path);
    if (!file) return std::nullopt;
    auto& [read, size] = *file;
    if (KindOf(path) == ImageKind::Chd) {
        auto disc = OpenChd(read, size);
        if (!disc) return std::nullopt;
        return Image{std::move(disc->frames), disc->size, disc->layout};
    }
    if (KindOf(path) == ImageKind::Pbp) {
        auto disc = OpenPbp(std::move(read), size);
        if (!disc) return std::nullopt;
        return Image{std::move(disc->sectors), disc->size, std::nullopt};
    }
    if (KindOf(path) != ImageKind::Ecm) return Image{std::move(read), size, std::nullopt};
    auto unpacked = UnpackEcm(std::move(read), size);
    if (!unpacked) return std::nullopt;
    return Image{std::move(*unpacked), kUnknownSize, std::nullopt};
}

// The identifier of the data track from byte start of the image at path; disc tells whether a
// data track was found.
std::string IdAt(ImageFiles& files, const std::string& path, std::uint64_t start, bool& disc) {
    const auto image = Open(files, path);
    if (!image) return {};
    const auto layout = image->layout ? image->layout : FindLayout(image->read, image->size, start);
    disc = layout.has_value();
    const auto cnf = layout ? ReadSystemCnf(image->read, image->size, *layout) : std::nullopt;
    return cnf ? GameIdFromLine(FirstLine(*cnf)) : std::string();
}

// A name from a list as UTF-8: as it stands when it is UTF-8, else from the system code page.
std::optional<std::string> Named(CodePage& codePage, const std::string& listPath, const std::string& name) {
    return BesideList(listPath, IsUtf8(name) ? name : codePage.FromCodePage(name));
}

std::string FromCue(ImageFiles& files, CodePage& codePage, const std::string& path, bool& disc) {
    const auto text = files.Text(path, kListLimit);
    const auto track = text ? ParseCue(*text) : std::nullopt;
    const auto file = track ? Named(codePage, path, track->file) : std::nullopt;
    disc = track.has_value();
    if (!file || KindOf(*file) == ImageKind::Cue || KindOf(*file) == ImageKind::M3u) return {};
    if (track->startSector > kUnknownSize / track->sectorSize) return {};
    bool data = false;
    return IdAt(files, *file, track->startSector * track->sectorSize, data);
}

// The path with its last extension replaced: "x.sub" to "x.ccd", "x.mdf" to "x.mds".
std::string WithExtension(const std::string& path, const char* extension) {
    const std::size_t dot = path.size() - FileNameOf(path).size() + FileNameOf(path).rfind('.');
    return path.substr(0, dot) + extension;
}

// The image file an ".mds" names, read from its first data track; "*" stands for the
// descriptor's name without its extension.
std::string FromMds(ImageFiles& files, CodePage& codePage, const std::string& path, bool& disc) {
    const auto bytes = files.Text(path, kMdsLimit);
    const auto track = bytes ? ParseMds(*bytes) : std::nullopt;
    disc = track.has_value();
    if (!track) return {};
    std::string name = IsUtf8(track->file) ? track->file : codePage.FromCodePage(track->file);
    if (!name.empty() && name.front() == '*') {
        const std::string_view own = FileNameOf(path);
        name.replace(0, 1, own.substr(0, own.rfind('.')));
    }
    const auto file = BesideList(path, name);
    bool data = false;
    return file ? IdAt(files, *file, track->start, data) : std::string();
}

// A CloneCD set named by any of its files: the descriptor says where the data track starts in the
// ".img". An ".img" whose descriptor is missing or names no data track is sectors from its start,
// as is the ".img" beside a ".sub" without descriptor; a ".sub" without either is no image (a
// subchannel file beside a ".bin").
std::string FromCcd(ImageFiles& files, const std::string& path, bool& disc) {
    const std::string descriptor = WithExtension(path, ".ccd"), sectors = WithExtension(path, ".img");
    const bool described = EndsWithNoCase(path, ".ccd") || files.Exists(descriptor);
    const auto text = described ? files.Text(descriptor, kListLimit) : std::nullopt;
    if (const auto start = text ? ParseCcd(*text) : std::nullopt) {
        disc = true;
        bool data = false;
        return IdAt(files, sectors, *start * kCcdSectorSize, data);
    }
    const bool bare = KindOf(path) == ImageKind::Sectors || (!described && files.Exists(sectors));
    return bare ? IdAt(files, sectors, 0, disc) : std::string();
}

std::string FromNrg(ImageFiles& files, const std::string& path, bool& disc) {
    const auto file = files.Open(path);
    const auto track = file ? FindNrgTrack(file->first, file->second) : std::nullopt;
    disc = track.has_value();
    bool data = false;
    return track ? IdAt(files, path, track->start, data) : std::string();
}

std::string Identify(ImageFiles& files, CodePage& codePage, const std::string& path, bool inList, bool& disc) {
    switch (KindOf(path)) {
        case ImageKind::Sectors:
            if (EndsWithNoCase(path, ".img")) return FromCcd(files, path, disc);
            [[fallthrough]];
        case ImageKind::Ecm:
        case ImageKind::Chd: return IdAt(files, path, 0, disc);
        case ImageKind::Cue: return FromCue(files, codePage, path, disc);
        case ImageKind::Mds: return FromMds(files, codePage, path, disc);
        case ImageKind::Mdf: {
            // Its descriptor when there is one; else sectors from the start, as a ".bin".
            const std::string mds = WithExtension(path, ".mds");
            if (files.Exists(mds)) {
                std::string id = FromMds(files, codePage, mds, disc);
                if (disc) return id;
            }
            return IdAt(files, path, 0, disc);
        }
        case ImageKind::Ccd: return FromCcd(files, path, disc);
        case ImageKind::Nrg: return FromNrg(files, path, disc);
        case ImageKind::M3u: {
            disc = true;
            if (inList) return {};  // a list inside a list
            const auto text = files.Text(path, kListLimit);
            const auto discs = text ? ParseM3u(*text) : std::vector<std::string>();
            // The first disc is the one the emulator starts with.
            const auto first = discs.empty() ? std::nullopt : Named(codePage, path, discs.front());
            bool listed = false;
            return first ? Identify(files, codePage, *first, true, listed) : std::string();
        }
        case ImageKind::Pbp: {
            std::string id = IdAt(files, path, 0, disc);
            const auto file = files.Open(path);
            disc = disc || (file && HasPbpHeader(file->first, file->second));  // a package, though its disc be unread
            return id;
        }
        case ImageKind::None: break;
    }
    return {};
}

}  // namespace

ImageRead IdentifyImage(FileSystem& files, CodePage& codePage, const std::string& path) {
    ImageFiles opened(files);
    bool disc = false;
    std::string id = Identify(opened, codePage, path, false, disc);
    disc = disc || !id.empty() || opened.Failed();  // a file not read to the end may be a disc
    return ImageRead{std::move(id), !opened.Failed(), disc};
}

std::optional<std::string> ReadImageTitle(FileSystem& files, const std::string& path) {
    if (KindOf(path) != ImageKind::Pbp) return std::nullopt;
    ImageFiles opened(files);
    const auto file = opened.Open(path);
    return file ? ReadPbpTitle(file->first, file->second) : std::nullopt;
}

}  // namespace kavri
