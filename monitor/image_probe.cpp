// Games played from disc images: the image the emulator was started with (its command line, read
// once per process) and the images it holds open or maps (looked at every tick, so a change of
// disc in its menu is seen). An image counts as a disc newly inserted, once while it is played.
// Images are read in the background; a tick that lacks an answer it needs changes nothing.
#include "app/form_kavri_meter.h"
#include "discimage/image_path.h"
#include "monitor/command_line.h"

namespace kavri {
namespace {

// An image on a local disk is read within moments: waiting that long gives its game the minutes
// from this tick on. One on a network that stopped answering is taken at a later tick.
constexpr unsigned kImageReadBudgetMs = 250;

}  // namespace

void formKavriMeter::ProbeImages() {
    os_.background.Collect();
    if (emulatorProcessId != imageProcessId) {
        ForgetImages();
        imageProcessId = emulatorProcessId;
        if (const auto start = imageProcessId ? os_.kernel.ProcessParameters(imageProcessId) : std::nullopt)
            startPaths = ImageArguments(*start);
    }
    if (imageProcessId == 0) return;
    const auto files = heldFiles.Look(os_.kernel, imageProcessId);
    if (!files) return;  // a handle's path is missing: nothing is known to have changed
    auto start = StartImage();
    auto held = ImagesHeld(*files);
    if ((!start || !held) && os_.background.Wait(kImageReadBudgetMs)) {
        os_.background.Collect();
        start = StartImage();
        held = ImagesHeld(*files);
    }
    if (!start || !held) return;  // an image's game is not known yet
    if (!startKnown) {
        startKnown = true;
        startImage = *start;
        imageChoice.Start(start->id);
    }
    const std::string played = imageChoice.Choose(*held);
    if (played == playedImageId) return;
    if (gameFromImage) ClearGame();  // the image before it was taken out
    playedImageId = played;
    if (played.empty()) return;
    RecordGameAs(played);
    std::string path = played == startImage.id ? startImage.path : std::string();
    for (const HeldImage& image : *held)
        if (image.id == played) path = image.path;
    NameAfterFile(played, path, startImage.path);
    if (HasCurrentGame() && currentGameId == played) {
        gameDrive.clear();
        gameFromImage = true;
    }
}

// The emulator stopped or another one started: what it played ended with it.
void formKavriMeter::ForgetImages() {
    if (gameFromImage) ClearGame();
    if (imageProcessId != 0) os_.kernel.ForgetProcess(imageProcessId);
    imageProcessId = 0;
    startPaths.clear();
    startKnown = false;
    startImage = {};
    playedImageId.clear();
    imageChoice.Start({});
    heldFiles.Clear();
}

// The last image on the command line that reads as a game disc (a launcher may pass other
// files); nothing until every one has been read. Once known, startImage holds it.
std::optional<HeldImage> formKavriMeter::StartImage() {
    if (startKnown) return startImage;
    HeldImage image;
    bool missing = false;
    for (const std::string& path : startPaths) {
        const auto found = imageIds.Find(path);
        missing = missing || !found;
        if (found && !found->empty()) image = HeldImage{*found, 0, path};
    }
    if (missing) return std::nullopt;
    return image;
}

// The games of the images among the files the emulator holds open, else of those it maps;
// nothing when an image's game is not known yet.
std::optional<std::vector<HeldImage>> formKavriMeter::ImagesHeld(const std::vector<HeldFile>& files) {
    std::vector<HeldImage> images;
    bool missing = false;
    const auto add = [&](const std::string& path, std::uint64_t since) {
        if (KindOf(path) == ImageKind::None) return;
        const auto id = imageIds.Find(path);
        if (!id) missing = true;
        else if (!id->empty()) images.push_back({*id, since, path});
    };
    for (const HeldFile& file : files) add(file.path, file.since);
    // Walking the views of its memory costs more than its handles: only when they hold no image.
    if (images.empty() && !missing)
        for (const std::string& path : os_.kernel.MappedFiles(imageProcessId)) add(path, 0);
    if (missing) return std::nullopt;
    return images;
}

}  // namespace kavri
