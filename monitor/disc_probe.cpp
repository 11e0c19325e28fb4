// The disc probe: asks each CD-ROM drive through MCI whether it holds a medium and hands a newly
// found game disc to RecordGame. Each drive keeps its own disc state, so a disc that stays in
// any drive is recorded once, and the current game ends only when its own drive is empty.
#include <algorithm>
#include <cstring>
#include <optional>

#include "app/error_trap.h"
#include "app/form_kavri_meter.h"
#include "base/text_util.h"
#include "base/game_id.h"
#include "stats/number_text.h"

namespace kavri {
namespace {

constexpr std::uint32_t kReplySize = 6;
constexpr std::size_t kBootLineLimit = 64 * 1024;

// "true"/"false" in any case, or a number (zero is false); nothing for any other reply.
std::optional<bool> ReplyAsBool(const char* reply) {
    const std::string_view text(reply, strnlen(reply, kReplySize));
    if (EqualsNoCase(text, "true")) return true;
    if (EqualsNoCase(text, "false")) return false;
    if (const auto number = ParseNumberText(text)) return *number != 0;
    return std::nullopt;
}

}  // namespace

void formKavriMeter::ProbeDiscs() {
    char reply[kReplySize] = {};
    const std::size_t count = std::min(cdDrives.size(), driveStates.size());
    for (std::size_t i = 0; i < count; ++i) {
        currentDrive = cdDrives[i];
        if (ProbeDrive(driveStates[i], reply)) return;
    }
}

// Probes currentDrive; true when it holds a medium, which ends the pass.
bool formKavriMeter::ProbeDrive(DriveState& drive, char* reply) {
    os_.multimedia.mciSendStringA(("open " + currentDrive + " Type cdaudio Alias cdtly wait").c_str(), reply,
                                  kReplySize, 0);
    {
        // The device is closed on every way out, or its alias would stay taken for later probes.
        struct CloseDevice {
            Multimedia& mci;
            char* reply;
            ~CloseDevice() { Trap([this] { mci.mciSendStringA("close cdtly", reply, kReplySize, 0); }); }
        } closer{os_.multimedia, reply};
        // Only the status command's own reply counts, not what the open command left behind.
        reply[0] = '\0';
        os_.multimedia.mciSendStringA("status cdtly media present wait", reply, kReplySize, 0);
        if (const auto present = ReplyAsBool(reply)) drive.mediaPresent = *present;
    }

    if (drive.mediaPresent) {
        if (!drive.discSeen && FileExists(currentDrive + "\\system.cnf")) RecordGame();
        drive.discSeen = true;
        return true;
    }
    drive.discSeen = false;
    // An empty drive ends the game of its own disc, never the game of an image being played.
    if (!gameFromImage && (gameDrive.empty() || gameDrive == currentDrive)) ClearGame();
    return false;
}

void formKavriMeter::ClearGame() {
    currentIndex = -1;
    currentEntry.clear();
    gameMinutes = 0;
    gameDrive.clear();
    gameFromImage = false;
}

std::string formKavriMeter::GetID() {
    const auto text = os_.files.ReadText(currentDrive + "\\system.cnf", kBootLineLimit);
    if (!text) return {};
    return GameIdFromLine(FirstLine(*text));
}

}  // namespace kavri
