// Reading the kept files' text: comma- and line-separated fields, and the version line at a
// file's top.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavri {

// The version a kept file's first line names after its header ("\"KavriStat games\","), which
// is taken off bytes with its line end; 0 when the file is not of that kind.
int ReadFileVersion(std::string_view& bytes, std::string_view header);

// Reads comma- and line-separated fields.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}
    std::optional<std::string> ReadString();
    std::optional<std::int16_t> ReadInteger();
    // A field held what the file's format cannot write back: a double quote inside a text, which
    // reads as "_", or characters between a closing quote and the separator, which are dropped.
    bool Altered() const { return altered_; }
    bool AtEnd() const { return pos_ >= text_.size(); }

private:
    void SkipSeparator();

    std::string_view text_;
    std::size_t pos_ = 0;
    bool altered_ = false;
};

// The next N fields of a line as texts, or nothing when one of them does not read.
template <std::size_t N>
std::optional<std::array<std::string, N>> ReadFields(FieldReader& in) {
    std::array<std::string, N> fields;
    for (std::string& field : fields) {
        auto text = in.ReadString();
        if (!text) return std::nullopt;
        field = std::move(*text);
    }
    return fields;
}

}  // namespace kavri
