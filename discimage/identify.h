// The game identifier of a disc image: the image file, a cue sheet or a multi-disc list is read
// as far as its "SYSTEM.CNF", and the identifier taken from its first line as from a disc's.
#pragma once

#include <string>

#include "platform/code_page.h"
#include "platform/file_system.h"

namespace kavri {

// Empty when the file is no game disc's image, cannot be read or lies about its content.
std::string IdentifyImage(FileSystem& files, CodePage& codePage, const std::string& path);

}  // namespace kavri
