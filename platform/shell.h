// Windows shell services: the notification-area icon and opening a document.
#pragma once

#include <cstdint>

#include "platform/records.h"

namespace kavri {

class Shell {
public:
    virtual ~Shell() = default;
    virtual std::int32_t Shell_NotifyIconA(std::uint32_t message, NotifyIconDataA* data) = 0;
    virtual std::uint32_t ShellExecuteA(std::uint32_t hwnd, const char* operation, const char* file,
                                        const char* parameters, const char* directory,
                                        std::int32_t showCommand) = 0;
};

}  // namespace kavri
