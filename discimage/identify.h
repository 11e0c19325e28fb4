// The game identifier of a disc image: the image file, a cue sheet or a multi-disc list is read
// as far as its "SYSTEM.CNF", and the identifier taken from its first line as from a disc's.
#pragma once

#include <string>

#include "platform/code_page.h"
#include "platform/file_system.h"

namespace kavri {

inline constexpr int kImageReadLimit = 4096;  // reads of one identification at most

struct ImageRead {
    std::string id;         // empty when the file is no game disc's image or lies about its content
    bool finished = false;  // every read the answer needed succeeded; else it may change when retried
    bool disc = false;      // it has a disc's structure (a data track found, a cue sheet, a list), is
                            // of a kind not read, or was not read to the end: firmware or a memory
                            // card has none
};

// Each file involved is opened once, for reading only, and only when it is a disk file.
ImageRead IdentifyImage(FileSystem& files, CodePage& codePage, const std::string& path);

// The title the image's maker wrote into it (a ".pbp" carries one), in UTF-8; nothing for an
// image without one.
std::optional<std::string> ReadImageTitle(FileSystem& files, const std::string& path);

}  // namespace kavri
