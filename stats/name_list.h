// Game names: the key that finds a game's name whichever way its identifier is written, the
// rules a name keeps, the lines of a list the user imports, and the program's own copy of that
// list, "kvrnames.csv":
//   "KavriStat names",1                   name and format version
//   "SLUS-00594","Crystal Quest"          an identifier and its name, in the system code page
// Lines are in the order of their keys and end in CR LF.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavri {

inline constexpr std::size_t kNameMaxCharacters = 100;
inline constexpr std::size_t kNameListMax = 100000;
inline constexpr std::size_t kNameImportMaxBytes = 16 * 1024 * 1024;

// "SLUS-00594", "SLUS_005.94" and "slus00594" have the same key.
std::string NameKey(std::string_view id);

enum class NameFault { None, Quote, NotOneLine, TooLong };
// What keeps a UTF-8 name out of the files: a double quote, which they cannot hold; a control
// character; more than 100 characters.
NameFault CheckName(std::string_view name);

class NameList {
public:
    struct Entry {
        std::string id;    // as "SLUS-00594"
        std::string name;  // in the system code page
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    // The name of the game, whatever form its identifier takes.
    const std::string* Find(std::string_view id) const;
    // Adds or renames; false, and nothing changed, when a new game would pass the 100,000 names.
    bool Put(std::string id, std::string name);
    std::size_t Size() const { return byKey_.size(); }
    const std::map<std::string, Entry>& Entries() const { return byKey_; }

private:
    std::map<std::string, Entry> byKey_;
};

std::string FormatNameList(const NameList& list);
// The list as far as the file holds it in its own form.
NameList ParseNameList(std::string_view bytes);

// A file's text as UTF-8: UTF-16 with its byte-order mark, UTF-8 with or without one, else the
// system code page through fromCodePage. Nothing when it is not text: a NUL byte, or UTF-16 that
// does not decode.
std::optional<std::string> DecodeText(std::string_view bytes,
                                      const std::function<std::string(std::string_view)>& fromCodePage);

struct NameLines {
    std::vector<std::pair<std::string, std::string>> names;  // identifier as "SLUS-00594", UTF-8 name
    std::size_t notUnderstood = 0;                           // lines neither blank nor read
};

// Lines "identifier, name" with a comma, semicolon or tab between; either may be quoted, "" then
// standing for a quote. The identifier is letters, maybe "-" or "_", then digits with maybe a dot.
NameLines ReadNameLines(std::string_view utf8);

}  // namespace kavri
