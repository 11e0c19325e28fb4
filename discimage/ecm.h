// The sectors of an image packed by the error code modeller (".ecm"): the packing leaves out what
// a disc's sectors repeat (sync, mode, error codes), and this unpacks the stretch asked for.
#pragma once

#include <cstdint>
#include <memory>

#include "discimage/iso_image.h"

namespace kavri {

// The unpacked image as ranges read through the packed file; nothing for a file that is not
// packed this way. The error-detection and -correction bytes of each sector are left as zeros:
// nothing this program reads needs them.
std::optional<ReadImage> UnpackEcm(ReadImage packed, std::uint64_t packedSize);

}  // namespace kavri
