#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stats/number_text.h"

namespace kavri {
namespace {

TEST(NumberReading, ReadsTheLongestLeadingNumberSkippingBlanksTabsAndLineFeeds) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"3 \tAug 02, 2000 17:28:10 - 1h 5m", 3},
        {"94\t3 \tAug 02, 2000", 943},
        {"  -1.5e2x", -150},
        {"1D3", 1000},
        {"2d-1", 0.2},
        {"+7", 7},
        {".5", 0.5},
        {"5.", 5},
        {"1 2\n3", 123},
        {"1e", 1},
        {"1e+", 1},
        {"1.2.3", 1.2},
        {"&H1F", 31},
        {"&hff!", 255},
        {"&O17", 15},
        {"&O9", 0},
        {"&Hxyz", 0},
        {"Aug 02", 0},
        {"", 0},
        {"-", 0},
        {".", 0},
        {"\r5", 0},  // a carriage return is not skipped
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ReadNumber(c.text), c.value) << c.text;
}

TEST(NumberReading, ExtremeExponentsGiveInfinityOrZero) {
    EXPECT_TRUE(std::isinf(ReadNumber("1e99999")));
    EXPECT_EQ(ReadNumber("1e-99999"), 0.0);
}

TEST(NumberText, WholeTextMustBeOneNumber) {
    EXPECT_EQ(ParseNumberText("12"), 12.0);
    EXPECT_EQ(ParseNumberText(" \t12 "), 12.0);
    EXPECT_EQ(ParseNumberText("2.5"), 2.5);
    EXPECT_EQ(ParseNumberText("&H10"), 16.0);
    for (const char* bad : {"", " ", "abc", "1 2", "12abc", "1e999", "&H", "--1"})
        EXPECT_FALSE(ParseNumberText(bad).has_value()) << bad;
}

TEST(NumberText, ConversionRoundsHalvesToEvenAndSaturates) {
    EXPECT_EQ(SaturateInt32(2.5), 2);
    EXPECT_EQ(SaturateInt32(3.5), 4);
    EXPECT_EQ(SaturateInt32(-2.5), -2);
    EXPECT_EQ(SaturateInt32(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(SaturateInt32(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(SaturateInt32(std::nan("")), 0);
    EXPECT_EQ(SaturateInt16(40000), 32767);
    EXPECT_EQ(SaturateInt16(-40000), -32768);
    EXPECT_EQ(TextAsInt32("61"), 61);
    EXPECT_FALSE(TextAsInt32("sixty").has_value());
}

TEST(NumberText, SumsAreWrittenAsShortestDecimalText) {
    EXPECT_EQ(AddToNumberText("41", 1), "42");
    EXPECT_EQ(AddToNumberText("0", 0), "0");
    EXPECT_EQ(AddToNumberText("2.5", 1), "3.5");
    EXPECT_EQ(AddToNumberText("1e20", 1), "100000000000000000000");
    EXPECT_EQ(AddToNumberText("-1", 1), "0");
    EXPECT_EQ(AddToNumberText("not a number", 1), "1");
    EXPECT_EQ(AddToNumberText("", 30), "30");
    EXPECT_EQ(AddToNumberText("1.7e308", 1.7e308), "1.7e308");  // an overflowing sum keeps the text
    EXPECT_EQ(FormatNumber(2147483648.0), "2147483648");
}

}  // namespace
}  // namespace kavri
