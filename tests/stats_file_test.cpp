#include <gtest/gtest.h>

#include "stats/stats_file.h"

namespace kavri {
namespace {

struct Model {
    std::array<Label, 8> counts;
    std::array<Label, 8> minutes;
    ListBox games, runs;

    Model() {
        for (int i = 0; i < 8; ++i) counts[i] = Label("0"), minutes[i] = Label("0h 0m", "0");
    }
    std::string Bytes() const { return FormatStatsFile(counts, minutes, games, runs); }
};

const char kWorkedExample[] =
    "\"1\",\"61\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"2\",\"35\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n"
    "\"3\",\"96\"\r\n1\r\n"
    "\"SCES-05678\t1 \tJul 30, 2000 10:14:00 - 1h 1m\"\r\n"
    "\"SLUS-00594\t2 \tAug 02, 2000 14:05:00 - 0h 20m\"\r\n2\r\n"
    "\"Aug 02, 2000 14:05:00 - 0h 20m\"\r\n\"Aug 02, 2000 09:30:00 - 0h 15m\"\r\n"
    "\"Jul 30, 2000 10:14:00 - 1h 1m\"\r\n";

TEST(StatsFileFormat, TheWorkedExampleByteForByteAndBack) {
    Model m;
    std::string fresh;  // empty lists are -1, one line is 0
    for (int i = 0; i < 8; ++i) fresh += "\"0\",\"0\"\r\n";
    EXPECT_EQ(m.Bytes(), fresh + "-1\r\n-1\r\n");
    m.counts[0].SetCaption("1"), m.minutes[0].SetTag("61");
    m.counts[3].SetCaption("2"), m.minutes[3].SetTag("35");
    m.counts[7].SetCaption("3"), m.minutes[7].SetTag("96");
    m.games.Append("SCES-05678\t1 \tJul 30, 2000 10:14:00 - 1h 1m");
    m.games.Append("SLUS-00594\t2 \tAug 02, 2000 14:05:00 - 0h 20m");
    for (const char* run : {"Aug 02, 2000 14:05:00 - 0h 20m", "Aug 02, 2000 09:30:00 - 0h 15m",
                            "Jul 30, 2000 10:14:00 - 1h 1m"})
        m.runs.Append(run);
    EXPECT_EQ(m.Bytes(), kWorkedExample);

    const StatsContent c = ParseStatsFile(kWorkedExample);
    EXPECT_TRUE(c.ReadCleanly());
    ASSERT_EQ(c.slots.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(c.slots[i].count + "," + c.slots[i].minutes, m.counts[i].Caption() + "," + m.minutes[i].Tag());
    EXPECT_EQ(c.games, m.games.Lines());
    EXPECT_EQ(c.runs, m.runs.Lines());
}

TEST(StatsFileParse, FieldRules) {
    FieldReader in("  \"a, b\tc\" junk ,plain  ,\"\"\r\n\"x\"\ry\nlast");
    EXPECT_EQ(in.ReadString(), "a, b\tc");  // quotes keep commas, blanks and tabs
    EXPECT_EQ(in.ReadString(), "plain");    // unquoted runs to the comma, trailing blanks dropped
    EXPECT_EQ(in.ReadString(), "");
    EXPECT_EQ(in.ReadString(), "x");  // a lone CR ends a line
    EXPECT_EQ(in.ReadString(), "y");  // so does a lone LF
    EXPECT_EQ(in.ReadString(), "last");
    EXPECT_FALSE(in.ReadString().has_value());  // past the end
    EXPECT_TRUE(in.Altered());                  // the junk after a closing quote was dropped
    FieldReader quote("a\"b,\"c\"");
    EXPECT_EQ(quote.ReadString(), "a_b");  // a quote the format cannot write back
    EXPECT_EQ(quote.ReadString(), "c");
    EXPECT_TRUE(quote.Altered());

    FieldReader numbers("12,\"-1\", 2.5 ,32768,abc,\"unmatched");
    EXPECT_EQ(numbers.ReadInteger(), 12);
    EXPECT_EQ(numbers.ReadInteger(), -1);
    EXPECT_EQ(numbers.ReadInteger(), 2);  // halves to even
    EXPECT_FALSE(numbers.ReadInteger().has_value());  // beyond 16 bits
    EXPECT_FALSE(numbers.ReadInteger().has_value());  // not a number
    EXPECT_FALSE(numbers.ReadString().has_value());   // a quote that never closes
}

std::string Slots() {
    std::string s;
    for (int i = 0; i < 8; ++i) s += "\"" + std::to_string(i) + "\",\"" + std::to_string(10 * i) + "\"\r\n";
    return s;
}

// Reading stops at the first read that fails, keeping what came before; an index below -1 is an
// empty list and lines after the runs are not read.
TEST(StatsFileParse, WhatEachFileYields) {
    const struct {
        std::string file;
        bool complete;
        std::size_t slots, games, runs;
    } rows[] = {
        {"\"1\",\"2\"\r\n\"3\"", false, 1, 0, 0},
        {Slots() + "2\r\n\"g0\"\r\n\"g1\"\r\n", false, 8, 2, 0},
        {Slots() + "x\r\n", false, 8, 0, 0},
        {Slots() + "-5\r\n0\r\n\"run\"\r\n\"extra\"\r\ngarbage\"\r\n", true, 8, 0, 1},
    };
    for (const auto& row : rows) {
        const StatsContent c = ParseStatsFile(row.file);
        EXPECT_EQ(c.complete, row.complete) << row.file;
        EXPECT_EQ(c.slots.size(), row.slots) << row.file;
        EXPECT_EQ(c.games.size(), row.games) << row.file;
        EXPECT_EQ(c.runs.size(), row.runs) << row.file;
    }
    EXPECT_EQ(ParseStatsFile(rows[0].file).slots[0].minutes, "2");
    EXPECT_EQ(ParseStatsFile(rows[3].file).runs[0], "run");
}

}  // namespace
}  // namespace kavri
