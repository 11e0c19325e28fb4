// Reads arbitrary bytes as a cue sheet and as a list of discs, and each name they give as a path
// beside them: no fault, and no path that leaves the list's folder.
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
    };
    if (const auto track = kavri::ParseCue(text)) check(track->file);
    for (const std::string& disc : kavri::ParseM3u(text)) check(disc);
    return 0;
}
