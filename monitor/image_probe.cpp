// Games played from disc images: the image the emulator plays (monitor/image_watch.cpp) counts as
// a disc newly inserted, once while it is played; another image, none, or the emulator's end ends
// it as taking the disc out does.
#include "app/form_kavri_meter.h"

namespace kavri {

void formKavriMeter::ProbeImages() {
    const auto played = imageWatch.Look();
    if (!played) return;
    if (gameFromImage) ClearGame();  // the image before it was taken out
    if (played->game.empty()) return;
    RecordGameAs(played->game);
    NameAfterFile(played->game, played->path, played->startPath);
    if (HasCurrentGame() && currentGameId == played->game) {
        gameDrive.clear();
        gameFromImage = true;
    }
}

}  // namespace kavri
