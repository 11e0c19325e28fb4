// Checks the Windows file backend on a real (Wine) file system: whole-file writes replace the
// old file only when complete, a file held open by another program keeps its bytes, and reads
// and lengths work while another program holds the file. Exits 0 when every check holds.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/services.h"
#include "platform/win32/wide.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
    std::printf("%s - %s\n", ok ? "ok" : "not ok", what);
    if (!ok) ++failures;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "C:\\files-check";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\kvrstat.csv";
    kavri::win32::Win32FileSystem files;

    Check(files.WriteWholeFile(path, "first\r\n") && files.ReadText(path, 1 << 20) == "first\r\n",
          "a whole-file write creates the file with exactly its bytes");
    Check(files.WriteWholeFile(path, "second, longer\r\n") && files.ReadText(path, 1 << 20) == "second, longer\r\n",
          "a whole-file write replaces an existing file");
    Check(!Exists(path + ".new"), "no temporary file is left beside it");
    Check(files.FileLen(path) == 16, "the length is measured");
    Check(files.ReadText(path, 6) == "second", "a read stops at its limit");

    // Another program holds the file open for writing and does not share it for deletion.
    const HANDLE other = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(other != INVALID_HANDLE_VALUE, "another program opens the file");
    Check(files.FileLen(path) == 16, "the length is measured while another program holds the file");
    Check(files.ReadText(path, 1 << 20) == "second, longer\r\n", "the file reads while another program writes to it");
    Check(files.WriteWholeFile(path, "third\r\n").error == kavri::FileError::ReplaceDenied,
          "a replacement of a held file is refused as such, not as a protected folder");
    ::CloseHandle(other);
    Check(files.ReadText(path, 1 << 20) == "second, longer\r\n", "the held file keeps its old bytes");
    Check(!Exists(path + ".new"), "the failed write leaves no temporary file");

    // Held without any sharing: nothing can read it.
    const HANDLE exclusive =
        ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(!files.ReadText(path, 1 << 20).has_value(), "a file locked by another program does not read");
    Check(files.FileLen(path) == 16, "but its length is still known");
    ::CloseHandle(exclusive);

    // A leftover new file, read-only and hidden, does not stop the next save.
    Check(files.WriteBinary(path + ".new", "old") &&
              ::SetFileAttributesA((path + ".new").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
          "a read-only, hidden leftover lies beside the file");
    Check(files.WriteWholeFile(path, "fourth\r\n") && files.ReadText(path, 1 << 20) == "fourth\r\n" &&
              !Exists(path + ".new"),
          "the leftover is cleared and the save lands");
    Check(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY) && files.IsReadOnly(path),
          "a read-only file is known by its attribute");
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Names outside the code page, a folder made with its parents, a flushed copy, a removal.
    const std::string deep = folder + "\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0";
    const std::string copy = deep + "\\kvrstat.bak";
    Check(files.MakeFolder(deep) && files.FolderExists(deep), "a folder with its parents is made, named in Cyrillic and Japanese");
    Check(files.CopyWhole(path, copy) && files.ReadText(copy, 1 << 20) == "fourth\r\n", "a whole file is copied there");
    Check(::SetFileAttributesW(kavri::win32::Wide(copy).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) &&
              files.CopyWhole(path, copy),
          "a hidden system copy from before is replaced, not taken for a protected folder");
    Check(files.Erase(copy) && !files.FileLen(copy), "and removed");
    ::RemoveDirectoryW(kavri::win32::Wide(deep).c_str());
    ::RemoveDirectoryW(kavri::win32::Wide(deep.substr(0, deep.rfind('\\'))).c_str());

    const std::string missing = folder + "\\no such folder\\KavriStat.lnk";
    Check(!files.WriteBinary(missing, "x") && !Exists(missing), "a binary write into a missing folder fails");
    const std::string lnk = folder + "\\KavriStat.lnk";
    Check(files.WriteBinary(lnk, std::string(255, '\x4C')) && files.FileLen(lnk) == 255, "a binary write writes");
    Check(!files.FileLen(folder + "\\absent").has_value(), "a missing file has no length");
    Check(files.FileLen(folder) == 0, "a folder counts as empty");

    // An image read for its game: one handle, reads of any length, disk files only.
    const std::string image = folder + "\\..\\" + folder.substr(folder.rfind('\\') + 1) + "\\big.iso";
    std::string big(3 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 / 4096);
    Check(static_cast<bool>(files.WriteBinary(folder + "\\big.iso", big)), "a 3 MB image is written");
    const auto opened = files.OpenDiskFile(image);
    Check(opened && opened->Size() == big.size(), "an image is opened by a path with \"..\" in it and measured");
    Check(opened && opened->ReadAt(1000, 3 << 20) == big.substr(1000), "one read of 3 MB gives every byte up to the end");
    Check(opened && opened->ReadAt(big.size() + 10, 16) == std::string(), "a read past the end gives nothing");
    for (const char* device : {"CON", "NUL", "COM1.cue", "CONIN$", "AUX.bin"})
        Check(!files.OpenDiskFile(folder + "\\" + device), (std::string("no device is opened as an image: ") + device).c_str());
    Check(!files.OpenDiskFile(folder), "nor a folder");
    ::DeleteFileA((folder + "\\big.iso").c_str());

    ::DeleteFileA(lnk.c_str());
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(folder.c_str());
    return failures == 0 ? 0 : 1;
}
