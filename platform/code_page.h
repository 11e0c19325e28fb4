// The system code page, which what the files and the window hold keeps, against the UTF-8 the
// program works in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavri {

class CodePage {
public:
    virtual ~CodePage() = default;
    // A UTF-8 text in the system code page; nothing when a character has no place in it.
    virtual std::optional<std::string> ToCodePage(std::string_view utf8) = 0;
    // A text in the system code page as UTF-8.
    virtual std::string FromCodePage(std::string_view text) = 0;
};

}  // namespace kavri
