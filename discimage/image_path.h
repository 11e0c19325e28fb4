// What a disc image's file name says of it, and the files its lists name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavri {

enum class ImageKind {
    None,    // not an image
    Sectors, // ".iso", ".img", ".bin": sectors from the file's start
    Cue,     // a cue sheet naming the track files
    M3u,     // a list of the discs of one game
    Ecm,     // sectors in the error-code-modeller packing (".ecm", ".bin.ecm")
    Chd,     // the compressed hunks container (".chd")
    Mds,     // the descriptor of an ".mdf" image
    Mdf,     // sectors described by the ".mds" of the same name, when there is one
    Pbp,     // a package of the handheld's PlayStation player (".pbp")
    Ccd,     // a CloneCD set's descriptor (".ccd") or subchannel (".sub"); its ".img" is Sectors
    Nrg,     // a Nero image (".nrg")
};

ImageKind KindOf(std::string_view path);

// True for a path that Windows hands to a device or a pipe by its form alone, whatever it ends
// in ('/' counts as '\'): the device namespace ("\\.\x", "\\.\C:\x" too), the object namespace
// ("\??\x"), "\\?\x" other than a drive's path ("\\?\C:\x") or a share's
// ("\\?\UNC\server\share\x"), a server's pipes and mailslots ("\\server\pipe\x",
// "\\?\UNC\server\mailslot\x"), and a network path without a server or a share. Opening such a
// path may connect to a pipe or open a serial port ("\\?\GLOBALROOT\Device\Serial0\x").
bool InDeviceNamespace(std::string_view path);

// False for a path in the device namespace (above), a path Windows would take for a device
// whatever its folder (a part named "COM3.cue", "CON", "AUX.bin", "CONIN$", "COM1:", "LPT0", in
// any letter case and with any extension), or one that holds a NUL or another control
// character: such a name opens a serial port or the console, and a NUL cuts the name short.
bool NamesDiskFile(std::string_view path);

// The path of a file a cue sheet or a list at listPath names, in the list's folder or below it;
// nothing for a name that is absolute, on a network, on another drive, that leaves the folder or
// that does not name a disk file.
std::optional<std::string> BesideList(std::string_view listPath, std::string_view name);

}  // namespace kavri
