// Games played from disc images: the image the emulator was started with (its command line, read
// once per process) and the images it holds open or maps (looked at every tick, so a change of
// disc in its menu is seen). An image counts as a disc newly inserted, once while it is played.
#include <algorithm>

#include "app/form_kavri_meter.h"
#include "discimage/identify.h"
#include "discimage/image_path.h"
#include "monitor/command_line.h"
#include "monitor/game_id.h"

namespace kavri {
namespace {

constexpr std::uint32_t kPathBudgetMs = 300;  // a handle's path not had by then is given up
constexpr std::size_t kKnownImagesKept = 512;

}  // namespace

void formKavriMeter::ProbeImages() {
    if (emulatorProcessId != imageProcessId) {
        ForgetImages();
        imageProcessId = emulatorProcessId;
        if (imageProcessId != 0) startImageId = IdFromCommandLine();
    }
    if (imageProcessId == 0) return;
    const auto held = IdsHeldOpen();
    if (!held) return;  // given up this tick: nothing is known to have changed
    // What it holds open is what it plays now; its command line says what it started with.
    const bool startHeld = std::find(held->begin(), held->end(), startImageId) != held->end();
    const std::string played = held->empty() || startHeld ? startImageId : held->back();
    if (played == playedImageId) return;
    if (gameFromImage) ClearGame();  // the image before it was taken out
    playedImageId = played;
    if (played.empty()) return;
    RecordGameAs(played);
    if (HasCurrentGame() && currentGameId == played) {
        gameDrive.clear();
        gameFromImage = true;
    }
}

// The emulator stopped or another one started: what it played ended with it.
void formKavriMeter::ForgetImages() {
    if (gameFromImage) ClearGame();
    imageProcessId = 0;
    startImageId.clear();
    playedImageId.clear();
    blockedHandles.clear();
}

// The identifier of a disc image, read again only when the file changed.
std::string formKavriMeter::ImageId(const std::string& path) {
    if (KindOf(path) == ImageKind::None) return {};
    const auto stamp = os_.files.Stamp(path);
    if (!stamp) return {};
    const std::string key = IdKey(path);
    const auto known = knownImages.find(key);
    if (known != knownImages.end() && known->second.stamp == *stamp) return known->second.id;
    if (knownImages.size() >= kKnownImagesKept) knownImages.clear();
    KnownImage& image = knownImages[key];
    image = KnownImage{*stamp, IdentifyImage(os_.files, os_.codePage, path)};
    return image.id;
}

// The last image on the command line that reads as a game disc; a launcher may pass other files.
std::string formKavriMeter::IdFromCommandLine() {
    const auto line = os_.kernel.ProcessCommandLine(imageProcessId);
    if (!line) return {};
    const std::vector<std::string> args = SplitCommandLine(*line);
    std::string id;
    for (std::size_t i = 1; i < args.size(); ++i)
        if (std::string found = ImageId(args[i]); !found.empty()) id = std::move(found);
    return id;
}

// The games of the images the emulator holds open, else of those it maps, in the system's order;
// nothing when a handle's path could not be had in time (that handle is not asked again).
std::optional<std::vector<std::string>> formKavriMeter::IdsHeldOpen() {
    std::vector<std::string> ids;
    const auto add = [&](const std::string& path) {
        if (std::string id = ImageId(path); !id.empty()) ids.push_back(std::move(id));
    };
    if (os_.kernel.ProcessHandles(imageProcessId, handleList)) {
        for (const OpenHandle& handle : handleList) {
            if (handle.processId != imageProcessId || !handle.file || blockedHandles.count(handle.value)) continue;
            const HandlePath answer = os_.kernel.PathOfHandle(imageProcessId, handle.value, kPathBudgetMs);
            if (answer.outcome == HandlePath::Outcome::TimedOut) {
                blockedHandles.insert(handle.value);
                return std::nullopt;
            }
            if (answer.outcome == HandlePath::Outcome::Path) add(answer.path);
        }
    }
    // Walking the views of its memory costs more than its handles: only when they hold no image.
    if (ids.empty())
        for (const std::string& path : os_.kernel.MappedFiles(imageProcessId)) add(path);
    return ids;
}

}  // namespace kavri
