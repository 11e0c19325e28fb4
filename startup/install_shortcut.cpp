// Writes the start-up shortcut once; an existing one is never touched.
#include "app/form_kavri_meter.h"
#include "startup/shortcut_image.h"

namespace kavri {

void formKavriMeter::InstallStartupShortcut() {
    const std::string root = os_.windowing.AppPath().substr(0, 3);
    // The image can only name a program on a lettered drive.
    if (!IsDriveRoot(root)) return;
    if (FileExists(kShortcutPath)) return;
    const auto image = ShortcutImage(root);
    os_.files.WriteBinary(kShortcutPath, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

}  // namespace kavri
