// Which image the emulator plays, from the image it was started with and the images it holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kavri {

// An image the emulator holds: its game (empty when it names none: a kind not read, a disc
// without a boot file), the look at which its handle was first seen, its path.
struct HeldImage {
    std::string id;
    std::uint64_t since = 0;
    std::string path;
};

class ImageChoice {
public:
    // A new process, started with the image of game startId (empty for none).
    void Start(std::string startId);
    // The game played now, given the images held at this look, in the system's order: the game
    // played stays while its image is held; else the game of the newest handle that names one;
    // with none, the start's game, until the process has been seen holding another image, whether
    // or not that image names a game.
    const std::string& Choose(const std::vector<HeldImage>& held);

private:
    std::string start_;
    std::string played_;
    bool startStands_ = true;
};

}  // namespace kavri
