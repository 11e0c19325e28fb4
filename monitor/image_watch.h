// Which disc image the emulator plays: the image it was started with (its command line, read
// once per process) and the images it holds open or maps (looked at every tick, so a change of
// disc in its menu is seen). Images are read in the background; a look that lacks an answer it
// needs changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "monitor/held_files.h"
#include "monitor/image_choice.h"
#include "monitor/image_ids.h"
#include "platform/background.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/kernel.h"

namespace kavri {

// The image the emulator plays: its game, empty when it plays none, its file, and the image its
// command line named (a list there names the discs it plays).
struct PlayedImage {
    std::string game;
    std::string path;
    std::string startPath;
};

class ImageWatch {
public:
    ImageWatch(Kernel& kernel, FileSystem& files, CodePage& codePage, Background& background)
        : kernel_(kernel), background_(background), ids_(files, codePage, background) {}

    // The emulator process the last walk of the processes found, 0 for none.
    void EmulatorFound(std::uint32_t processId) { emulatorId_ = processId; }
    // One look at that process: the image it plays, when that changed since the last look told
    // it (another process, or none, ends what the one before played); nothing when it did not
    // change or is not known yet.
    std::optional<PlayedImage> Look();

private:
    void Update();
    void Forget();
    std::optional<HeldImage> StartImage();
    bool OnCommandLine(const std::string& path) const;
    std::optional<std::vector<HeldImage>> ImagesHeld(const std::vector<HeldFile>& files,
                                                     std::optional<std::vector<std::string>>& mapped);

    Kernel& kernel_;
    Background& background_;
    std::uint32_t emulatorId_ = 0;        // the emulator process the last walk found, 0 for none
    std::uint32_t processId_ = 0;         // the process the fields below are about
    std::vector<std::string> startPaths_; // the images on its command line, until their games are known
    bool startKnown_ = false;             // the game of its command line is known
    HeldImage start_;                     // then: that game and its image
    PlayedImage played_;                  // the image it plays
    // The game the last change told, nothing once its process ended: then whatever is played is
    // told, the same game as a new play.
    std::optional<std::string> told_ = std::string();
    int heldOver_ = 0;  // looks the played image was kept over for a handle not answered yet
    ImageChoice choice_;
    HeldFiles held_;
    ImageIds ids_;
};

}  // namespace kavri
