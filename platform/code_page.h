// The system code page, which what the files and the window hold keeps, against the UTF-8 the
// program works in.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kavri {

// True when every byte is ASCII: such a text is the same in UTF-8 and in every code page.
constexpr bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A text in the system code page: the only kind of text Windows' single-byte ("A") calls are
// given, so that a UTF-8 text cannot reach one unconverted. It is made
//   - from an ASCII literal or constant array as it stands (the same bytes in every code page),
//     checked as the program compiles: a literal outside ASCII does not compile, whatever its
//     encoding;
//   - from bytes said to be in the code page already (Kept): what the statistics and the window's
//     controls hold, what a conversion (CodePage::Convert) or a single-byte call gave.
// A UTF-8 text goes to a wide ("W") call instead, as UTF-16. The text refers to its bytes, which
// outlive it.
class CodePageText {
public:
    template <std::size_t N>
    consteval CodePageText(const char (&ascii)[N]) : text_(ascii), size_(N - 1) {
        if (!IsAscii(std::string_view(ascii, N - 1))) throw "not ASCII: convert this UTF-8 text to the code page";
    }
    static CodePageText Kept(const std::string& bytes) { return CodePageText(bytes.c_str(), bytes.size()); }
    static CodePageText Kept(std::string&&) = delete;  // its bytes would be gone before they are used

    const char* c_str() const { return text_; }
    std::string_view view() const { return {text_, size_}; }
    std::string str() const { return std::string(view()); }

private:
    constexpr CodePageText(const char* text, std::size_t size) : text_(text), size_(size) {}
    const char* text_;
    std::size_t size_;
};

class CodePage {
public:
    virtual ~CodePage() = default;
    // A UTF-8 text in the system code page; nothing when a character has no place in it.
    virtual std::optional<std::string> ToCodePage(std::string_view utf8) = 0;
    // A text in the system code page as UTF-8.
    virtual std::string FromCodePage(std::string_view text) = 0;

    // A UTF-8 text for a single-byte call: its bytes in the code page, or the stand-in's when a
    // character has no place in it.
    std::string Convert(std::string_view utf8, const CodePageText& standIn) {
        return ToCodePage(utf8).value_or(standIn.str());
    }
};

}  // namespace kavri
