// A process's command line split into its arguments as Windows splits it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel.h"

namespace kavri {

// The program's name first: up to the first blank, or within quotes as they stand. Then each
// argument up to a blank outside quotes; quotes group, 2n backslashes before a quote give n and
// the quote groups, 2n+1 give n and a quote, other backslashes stand; within quotes "" is a quote.
std::vector<std::string> SplitCommandLine(std::string_view line);

// The arguments that name a disc image, as full paths: "/" read as "\\", a relative path taken
// from the process's current folder (left out when that is unknown), a path that does not name a
// disk file left out.
std::vector<std::string> ImageArguments(const ProcessStart& start);

}  // namespace kavri
