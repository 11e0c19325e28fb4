#include "stats/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kavri {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Walks text, optionally passing over blanks, tabs and line feeds between characters.
class Scanner {
public:
    Scanner(std::string_view text, bool skipSpace) : text_(text), skipSpace_(skipSpace) {}

    int Peek() {
        if (skipSpace_)
            while (pos_ < text_.size() && (IsBlank(text_[pos_]) || text_[pos_] == '\n')) ++pos_;
        return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_]) : -1;
    }
    void Take() { ++pos_; }
    bool TakeIf(int a, int b) {
        const int c = Peek();
        if (c != a && c != b) return false;
        Take();
        return true;
    }
    std::size_t Pos() const { return pos_; }
    void Rewind(std::size_t pos) { pos_ = pos; }
    bool AtEnd() { return Peek() < 0; }

private:
    std::string_view text_;
    bool skipSpace_;
    std::size_t pos_ = 0;
};

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

int DigitValue(int c, int base) {
    int v = -1;
    if (IsDigit(c)) v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

std::optional<double> ScanRadix(Scanner& in, int base) {
    double value = 0;
    bool any = false;
    for (int d; (d = DigitValue(in.Peek(), base)) >= 0; in.Take()) {
        value = value * base + d;
        any = true;
    }
    if (!any) return std::nullopt;
    return value;
}

void TakeDigits(Scanner& in, std::string& out) {
    for (int c; IsDigit(c = in.Peek()); in.Take()) out.push_back(static_cast<char>(c));
}

// Digits, a point and an exponent as scanned, correctly rounded. The C library's strtod rather
// than std::from_chars: the Windows program has it already (MinGW's, for printf's numbers), where
// the library's floating from_chars would add 42 KB. Nothing sets a locale, so the point is ".".
// Out of range it is infinity, or zero for an exponent too small.
double Convert(const std::string& digits) { return std::strtod(digits.c_str(), nullptr); }

std::optional<double> ScanDecimal(Scanner& in) {
    std::string digits;
    bool negative = false;
    if (in.TakeIf('-', '-')) negative = true;
    else in.TakeIf('+', '+');
    TakeDigits(in, digits);
    const bool intDigits = !digits.empty();
    if (in.TakeIf('.', '.')) {
        digits.push_back('.');
        TakeDigits(in, digits);
    }
    if (!intDigits && digits.size() <= 1) return std::nullopt;
    const std::size_t beforeExp = in.Pos();
    if (in.TakeIf('E', 'e') || in.TakeIf('D', 'd')) {
        std::string exponent = "e";
        if (in.TakeIf('-', '-')) exponent.push_back('-');
        else in.TakeIf('+', '+');
        const std::size_t before = exponent.size();
        TakeDigits(in, exponent);
        if (exponent.size() > before) digits += exponent;
        else in.Rewind(beforeExp);
    }
    if (digits == ".") digits = "0";
    const double value = Convert(digits);
    return negative ? -value : value;
}

std::optional<double> ScanNumber(Scanner& in) {
    const std::size_t start = in.Pos();
    if (in.Peek() == '&') {
        in.Take();
        const int kind = in.Peek();
        if (kind == 'H' || kind == 'h' || kind == 'O' || kind == 'o') {
            in.Take();
            if (auto v = ScanRadix(in, kind == 'H' || kind == 'h' ? 16 : 8)) return v;
        }
        in.Rewind(start);
        return std::nullopt;
    }
    return ScanDecimal(in);
}

}  // namespace

double ReadNumber(std::string_view text) {
    Scanner in(text, true);
    return ScanNumber(in).value_or(0.0);
}

std::optional<double> ParseNumberText(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    Scanner in(text, false);
    const auto value = ScanNumber(in);
    if (!value || !in.AtEnd() || !std::isfinite(*value)) return std::nullopt;
    return value;
}

std::int32_t SaturateInt32(double value) {
    if (std::isnan(value)) return 0;
    const double r = std::nearbyint(value);
    if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

std::int16_t SaturateInt16(double value) {
    const std::int32_t v = SaturateInt32(value);
    if (v > 32767) return 32767;
    if (v < -32768) return -32768;
    return static_cast<std::int16_t>(v);
}

std::optional<std::int32_t> TextAsInt32(std::string_view text) {
    const auto value = ParseNumberText(text);
    if (!value) return std::nullopt;
    return SaturateInt32(*value);
}

std::string FormatNumber(double value) {
    char buffer[400];
    if (value == std::trunc(value)) {
        if (std::fabs(value) < 9.2e18) return std::to_string(static_cast<long long>(value));
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        return buffer;
    }
    // The fewest significant digits that read back as the same number.
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
        for (char* c = buffer; *c; ++c)
            if (*c == ',') *c = '.';  // whatever the C library's locale, the point is a point
        if (ParseNumberText(buffer) == value) break;
    }
    return buffer;
}

std::string AddToNumberText(std::string_view text, double addend) {
    const double sum = ParseNumberText(text).value_or(0.0) + addend;
    if (!std::isfinite(sum)) return std::string(text);
    return FormatNumber(sum);
}

}  // namespace kavri
