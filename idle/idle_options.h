// The idle choice kept in "kvroptions.csv": a first line "KavriStat options",1 then
// "idle","on" or "off","<limit in minutes>", lines ending in CR LF.
#pragma once

#include <string>
#include <string_view>

#include "base/idle_choice.h"

namespace kavri {

struct IdleOptionsContent {
    IdleOptions options;  // off unless the file reads cleanly
    bool clean = false;
    bool newer = false;  // written by a later version: read for nothing, never replaced
};

std::string FormatIdleOptions(const IdleOptions& options);
IdleOptionsContent ParseIdleOptions(std::string_view bytes);

// Why a limit typed in the Options dialog is refused; empty when it is taken.
std::string IdleLimitProblem(std::string_view typed);

}  // namespace kavri
