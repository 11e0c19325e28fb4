// Numbers held as text: reading them, converting them and writing them back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavri {

// The longest number at the start of text, with blanks, tabs and line feeds skipped wherever
// they stand: decimal digits with sign, point and exponent (E or D), or &H hex / &O octal.
// Text that does not begin with a number reads as 0.
double ReadNumber(std::string_view text);

// The whole text as one number, blanks and tabs around it allowed; nothing when it is not one
// or when it does not fit a double.
std::optional<double> ParseNumberText(std::string_view text);

// Nearest whole number, halves to even, held within the target's range.
std::int32_t SaturateInt32(double value);
std::int16_t SaturateInt16(double value);

// The text converted to a 32-bit integer as above; nothing when it is not a number.
std::optional<std::int32_t> TextAsInt32(std::string_view text);

// Shortest decimal text: whole numbers as plain digits, others in their shortest exact form.
std::string FormatNumber(double value);

// Reads text as a number (text that is not one counts as 0), adds addend and writes the sum.
std::string AddToNumberText(std::string_view text, double addend);

}  // namespace kavri
