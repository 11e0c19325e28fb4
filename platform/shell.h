// Windows shell services: the notification-area icon, opening a document, the user's start-up
// folder and shell shortcuts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/records.h"

namespace kavri {

class Shell {
public:
    virtual ~Shell() = default;
    virtual std::int32_t Shell_NotifyIconA(std::uint32_t message, NotifyIconDataA* data) = 0;
    // The same call with the larger record that carries a balloon.
    virtual std::int32_t Shell_NotifyIconA(std::uint32_t message, NotifyIconBalloonA* data) = 0;
    virtual std::uint32_t ShellExecuteA(std::uint32_t hwnd, const char* operation, const char* file,
                                        const char* parameters, const char* directory,
                                        std::int32_t showCommand) = 0;
    // The current user's Startup folder as the shell reports it, or nothing.
    virtual std::optional<std::string> StartupFolder() = 0;
    // Saves a shortcut at linkPath to target, started in workingDirectory. True on success.
    virtual bool CreateShellLink(const std::string& linkPath, const std::string& target,
                                 const std::string& workingDirectory) = 0;
};

}  // namespace kavri
