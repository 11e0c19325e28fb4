// Small text helpers shared by the routines: comparisons without regard to letter case and
// paths inside a folder.
#pragma once

#include <string>
#include <string_view>

namespace kavri {

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// The path of name inside folder; a drive's root folder already ends in a backslash.
std::string InFolder(std::string folder, std::string_view name);

}  // namespace kavri
