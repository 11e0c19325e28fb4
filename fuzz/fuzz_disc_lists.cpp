// Reads arbitrary bytes as a cue sheet and as a list of discs, and each name they give as a path
// beside them: no fault, no path that leaves the list's folder, and none that names a device or
// holds a NUL or another control character.
#include <cstdint>
#include <string>

#include "base/text_util.h"
#include "discimage/disc_lists.h"
#include "discimage/image_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto check = [](const std::string& name) {
        const auto path = kavri::BesideList("C:\\g\\g.cue", name);
        if (path && (!kavri::IsInsideFolder(*path, "C:\\g") || path->find("\\..\\") != std::string::npos))
            __builtin_trap();
        if (path && !kavri::NamesDiskFile(*path)) __builtin_trap();
        for (const char c : path.value_or(""))
            if (static_cast<unsigned char>(c) < 0x20) __builtin_trap();
        // A device's name in the last part, with any extension, is never given back.
        const std::string last = path ? path->substr(path->rfind('\\') + 1) : std::string();
        const std::string base = last.substr(0, last.find('.'));
        for (const char* device : {"CON", "AUX", "NUL", "PRN", "COM1", "LPT1", "CONIN$"})
            if (base.size() == std::string(device).size() && kavri::EqualsNoCase(base, device)) __builtin_trap();
    };
    if (const auto track = kavri::ParseCue(text)) check(track->file);
    for (const std::string& disc : kavri::ParseM3u(text)) check(disc);
    return 0;
}
