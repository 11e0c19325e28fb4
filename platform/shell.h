// Windows shell services: the notification-area icon, opening a document, the user's folders
// and shell shortcuts. Paths are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/records.h"

namespace kavri {

// Folders the shell names for the current user.
enum class ShellFolder {
    Startup,       // programs started at logon
    LocalAppData,  // data of this computer's user that does not roam
    Temp,          // temporary files, where archives unpack a program they run
};

class Shell {
public:
    virtual ~Shell() = default;
    virtual std::int32_t Shell_NotifyIconA(std::uint32_t message, NotifyIconDataA* data) = 0;
    // The wide call with the larger record that carries a balloon.
    virtual std::int32_t Shell_NotifyIconW(std::uint32_t message, NotifyIconBalloonW* data) = 0;
    virtual Handle ShellExecuteA(Handle hwnd, const char* operation, const char* file,
                                        const char* parameters, const char* directory,
                                        std::int32_t showCommand) = 0;
    // The folder as the shell reports it, in its long form and without a trailing separator, or
    // nothing.
    virtual std::optional<std::string> Folder(ShellFolder which) = 0;
    // Saves a shortcut at linkPath to target, started in workingDirectory, replacing one there.
    // True on success.
    virtual bool CreateShellLink(const std::string& linkPath, const std::string& target,
                                 const std::string& workingDirectory) = 0;
    // The file a shortcut points at, or nothing when the file is no shortcut that can be read.
    virtual std::optional<std::string> ShellLinkTarget(const std::string& linkPath) = 0;
};

}  // namespace kavri
