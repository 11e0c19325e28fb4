#include "monitor/process_name.h"

#include <cctype>
#include <string>

namespace kavri {

bool IsEmulatorName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string_view text = lower;
    return text.ends_with("kavri!.exe") || text.ends_with("kavri.exe");
}

}  // namespace kavri
