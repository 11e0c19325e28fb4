#include "discimage/identify.h"

#include "app/text_util.h"
#include "discimage/chd.h"
#include "discimage/disc_lists.h"
#include "discimage/ecm.h"
#include "discimage/image_path.h"
#include "discimage/iso_image.h"
#include "monitor/game_id.h"

namespace kavri {
namespace {

constexpr std::uint64_t kUnknownSize = std::uint64_t{1} << 40;  // an unpacked image is measured by reading it

struct Image {
    ReadImage read;
    std::uint64_t size;
    std::optional<SectorLayout> layout;  // where it is known without looking
};

std::optional<Image> Open(FileSystem& files, const std::string& path) {
    const auto stamp = files.Stamp(path);
    if (!stamp) return std::nullopt;
    ReadImage read = [&files, path](std::uint64_t at, std::size_t length) { return files.ReadAt(path, at, length); };
    if (KindOf(path) == ImageKind::Chd) {
        auto disc = OpenChd(read, stamp->size);
        if (!disc) return std::nullopt;
        return Image{std::move(disc->frames), disc->size, disc->layout};
    }
    if (KindOf(path) != ImageKind::Ecm) return Image{std::move(read), stamp->size, std::nullopt};
    auto unpacked = UnpackEcm(std::move(read), stamp->size);
    if (!unpacked) return std::nullopt;
    return Image{std::move(*unpacked), kUnknownSize, std::nullopt};
}

// The identifier of the data track from byte start of the image at path.
std::string IdAt(FileSystem& files, const std::string& path, std::uint64_t start) {
    const auto image = Open(files, path);
    if (!image) return {};
    const auto layout = image->layout ? image->layout : FindLayout(image->read, image->size, start);
    const auto cnf = layout ? ReadSystemCnf(image->read, image->size, *layout) : std::nullopt;
    return cnf ? GameIdFromLine(FirstLine(*cnf)) : std::string();
}

// A name from a list as UTF-8: as it stands when it is UTF-8, else from the system code page.
std::optional<std::string> Named(CodePage& codePage, const std::string& listPath, const std::string& name) {
    return BesideList(listPath, IsUtf8(name) ? name : codePage.FromCodePage(name));
}

std::string FromCue(FileSystem& files, CodePage& codePage, const std::string& path) {
    const auto text = files.ReadText(path, kListLimit);
    const auto track = text ? ParseCue(*text) : std::nullopt;
    const auto file = track ? Named(codePage, path, track->file) : std::nullopt;
    if (!file || KindOf(*file) == ImageKind::Cue || KindOf(*file) == ImageKind::M3u) return {};
    if (track->startSector > kUnknownSize / track->sectorSize) return {};
    return IdAt(files, *file, track->startSector * track->sectorSize);
}

std::string Identify(FileSystem& files, CodePage& codePage, const std::string& path, bool inList) {
    switch (KindOf(path)) {
        case ImageKind::Sectors:
        case ImageKind::Ecm:
        case ImageKind::Chd: return IdAt(files, path, 0);
        case ImageKind::Cue: return FromCue(files, codePage, path);
        case ImageKind::M3u: {
            if (inList) return {};  // a list inside a list
            const auto text = files.ReadText(path, kListLimit);
            const auto discs = text ? ParseM3u(*text) : std::vector<std::string>();
            // The first disc is the one the emulator starts with.
            const auto first = discs.empty() ? std::nullopt : Named(codePage, path, discs.front());
            return first ? Identify(files, codePage, *first, true) : std::string();
        }
        case ImageKind::Unread:
        case ImageKind::None: break;
    }
    return {};
}

}  // namespace

std::string IdentifyImage(FileSystem& files, CodePage& codePage, const std::string& path) {
    return Identify(files, codePage, path, false);
}

}  // namespace kavri
