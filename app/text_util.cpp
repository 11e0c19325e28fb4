#include "app/text_util.h"

#include <cctype>

namespace kavri {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

std::string InFolder(std::string folder, std::string_view name) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder += name;
}

}  // namespace kavri
