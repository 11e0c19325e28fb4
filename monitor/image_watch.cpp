#include "monitor/image_watch.h"

#include <algorithm>

#include "base/game_id.h"
#include "discimage/image_path.h"
#include "monitor/command_line.h"

namespace kavri {
namespace {

// An image on a local disk is read within moments: waiting that long gives its game the minutes
// from this tick on. One on a network that stopped answering is taken at a later tick.
constexpr unsigned kImageReadBudgetMs = 250;
constexpr int kUnansweredLooks = 2;  // a handle held up longer is taken to be no image

}  // namespace

std::optional<PlayedImage> ImageWatch::Look() {
    Update();
    if (played_.game == told_) return std::nullopt;
    told_ = played_.game;
    return played_;
}

void ImageWatch::Update() {
    background_.Collect();
    if (emulatorId_ != processId_) {
        Forget();
        processId_ = emulatorId_;
        if (const auto start = processId_ ? kernel_.ProcessParameters(processId_) : std::nullopt)
            startPaths_ = ImageArguments(*start);
    }
    if (processId_ == 0) return;
    const auto files = held_.Look(kernel_, processId_);
    if (!files) return;  // what it holds is not known: nothing is known to have changed
    ids_.NewLook();
    std::optional<std::vector<std::string>> mapped;
    auto start = StartImage();
    auto held = ImagesHeld(*files, mapped);
    if ((!start || !held) && background_.Wait(kImageReadBudgetMs)) {
        background_.Collect();
        start = StartImage();
        held = ImagesHeld(*files, mapped);
    }
    if (!start || !held) return;  // an image's game is not known yet
    if (!startKnown_) {
        startKnown_ = true;
        start_ = *start;
        choice_.Start(start->id);
    }
    const std::string& game = choice_.Choose(*held);
    if (game == played_.game) {
        heldOver_ = 0;
        return;
    }
    // A handle not answered yet may be the image played, opened again: when no game took its
    // place, its play goes on for a few looks while that handle's worker is held up, rather than
    // ending and counting again.
    if (!played_.game.empty() && game.empty() && held_.Unanswered() && ++heldOver_ <= kUnansweredLooks) return;
    heldOver_ = 0;
    played_ = {game, {}, start_.path};
    if (game.empty()) return;
    if (game == start_.id) played_.path = start_.path;
    for (const HeldImage& image : *held)
        if (image.id == game) played_.path = image.path;
}

// The emulator stopped or another one started: what it played ended with it.
void ImageWatch::Forget() {
    ids_.NewLook();  // nothing an earlier process's looks found stands for the next one
    if (told_ && !told_->empty()) told_.reset();
    if (processId_ != 0) kernel_.ForgetProcess(processId_);
    processId_ = 0;
    startPaths_.clear();
    startKnown_ = false;
    start_ = {};
    played_ = {};
    heldOver_ = 0;
    choice_.Start({});
    held_.Clear();
}

bool ImageWatch::OnCommandLine(const std::string& path) const {
    const std::string key = IdKey(path);
    return std::any_of(startPaths_.begin(), startPaths_.end(), [&](const std::string& arg) { return IdKey(arg) == key; });
}

// The last image on the command line that reads as a game disc (a launcher may pass other
// files); nothing until every one has been read. Once known, start_ holds it.
std::optional<HeldImage> ImageWatch::StartImage() {
    if (startKnown_) return start_;
    HeldImage image;
    bool missing = false;
    for (const std::string& path : startPaths_) {
        const auto found = ids_.Find(path);
        missing = missing || !found;
        if (found && !found->empty()) image = HeldImage{*found, 0, path};
    }
    if (missing) return std::nullopt;
    return image;
}

// The images among the files the emulator holds open, each with its game or none; those it maps
// too when none of those names a game; nothing when an image's game is not known yet. Its maps
// are walked once a look (kept in mapped), while the games are read when the last look found none
// among what it holds, so that their reads are waited for with the others.
std::optional<std::vector<HeldImage>> ImageWatch::ImagesHeld(const std::vector<HeldFile>& files,
                                                             std::optional<std::vector<std::string>>& mapped) {
    std::vector<HeldImage> images;
    bool missing = false, game = false, gameBefore = false, knownBefore = true;
    const auto add = [&](const std::string& path, std::uint64_t since) {
        if (KindOf(path) == ImageKind::None) return false;
        const auto id = ids_.Find(path, since != 0 && since == held_.LastLook());
        if (!id) missing = true;
        // A file of no game is another disc put in only when it is a disc (firmware or a memory
        // card is none) and not one the command line names beside its image.
        else if (!id->empty() || (ids_.Disc(path) && !OnCommandLine(path))) images.push_back({*id, since, path});
        game = game || (id && !id->empty());
        return true;
    };
    for (const HeldFile& file : files) {
        if (!add(file.path, file.since)) continue;
        const auto before = ids_.Last(file.path);
        knownBefore = knownBefore && before;
        gameBefore = gameBefore || (before && !before->empty());
    }
    // Walking the views of its memory costs more than its handles: only when they hold no game.
    if (missing ? knownBefore && !gameBefore : !game) {
        if (!mapped) mapped = kernel_.MappedFiles(processId_);
        for (const std::string& path : *mapped) add(path, 0);
    }
    if (missing) return std::nullopt;
    return images;
}

}  // namespace kavri
