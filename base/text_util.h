// Small text helpers shared by the routines: comparisons without regard to letter case, paths
// inside a folder, and UTF-8 paths turned into the UTF-16 the shell shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavri {

// An ASCII letter in upper case; every other byte as it is, whatever the code page.
constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// The path of name inside folder; a drive's root folder already ends in a backslash.
std::string InFolder(std::string folder, std::string_view name);
// The last part of a path.
std::string_view FileNameOf(std::string_view path);
// The folder that holds a path, without a trailing separator.
std::string_view FolderOf(std::string_view path);
// True when path lies inside folder or one of its subfolders.
bool IsInsideFolder(std::string_view path, std::string_view folder);

// The text without the given blanks at either end.
std::string_view Trim(std::string_view text, std::string_view blanks = " \t");

// UTF-16 from UTF-8; a byte that is not part of a valid sequence becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);
// UTF-8 from UTF-16; nothing when a surrogate stands alone.
std::optional<std::string> Utf8FromUtf16(std::u16string_view text);
// True when every byte belongs to a well-formed UTF-8 sequence.
bool IsUtf8(std::string_view text);
// The characters of a UTF-8 text.
std::size_t CharacterCount(std::string_view utf8);

// 16 hexadecimal digits naming a path whatever its letter case (64-bit FNV-1a), for a file or
// folder of the program's own that stands for it elsewhere.
std::string PathKey(std::string_view path);

}  // namespace kavri
