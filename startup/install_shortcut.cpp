// Makes sure a shortcut to the program stands in a start-up folder; an existing one is left alone
// unless it leads to a file that is gone, and a failure leaves start-up to go on.
#include "app/form_kavri_meter.h"
#include "base/text_util.h"
#include "startup/shortcut_image.h"

namespace kavri {

void formKavriMeter::InstallStartupShortcut() {
    const std::string folder = os_.windowing.AppPath();
    const std::string exe = os_.windowing.ExePath();
    // The fixed image names KavriStat.exe in a drive's root and goes into the classic start-up
    // folder: it is written only where both hold.
    if (IsDriveRoot(folder) && EqualsNoCase(exe, folder + kShortcutTarget) && os_.files.FolderExists(kShortcutFolder)) {
        if (FileExists(kShortcutPath)) return;
        const auto image = ShortcutImage(folder);
        os_.files.WriteBinary(kShortcutPath, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
        return;
    }
    // A program unpacked from an archive into the temporary folder is gone tomorrow.
    if (const auto temp = os_.shell.Folder(ShellFolder::Temp); temp && IsInsideFolder(exe, *temp)) return;
    // Elsewhere the shell makes a shortcut to the executable itself in the user's Startup folder,
    // unless one is there that still leads somewhere.
    const auto startup = os_.shell.Folder(ShellFolder::Startup);
    if (!startup || startup->empty()) return;
    const std::string link = InFolder(*startup, kShortcutName);
    if (FileExists(link)) {
        const auto target = os_.shell.ShellLinkTarget(link);
        if (!target || target->empty() || os_.files.FileLen(*target)) return;
    }
    os_.shell.CreateShellLink(link, exe, folder);
}

}  // namespace kavri
