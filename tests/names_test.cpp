#include "app/texts.h"
#include "stats/name_list.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

constexpr std::int16_t kF2 = 113;  // VK_F2
const std::string kTotalsPath = kAppDir + "\\kvrgames.csv";
const std::string kNamesPath = kAppDir + "\\kvrnames.csv";
const std::string kListPath = "C:\\Lists\\names.txt";
const std::string kDash = " \x97 ";  // the em dash in the code page
const std::string kGames =
    "\"SLUS-00594\t3 \tJul 30, 2000 10:14:00 - 1h 5m\"\r\n\"SCES-05678\t1 \tAug 01, 2000 09:00:00\"\r\n";
const std::string kSlus = "\"SLUS-00594\",\"65\",\"Jul 30, 2000 10:14:00\",\"Jul 30, 2000 10:14:00\"";
const std::string kSces = "\"SCES-05678\",\"0\",\"Aug 01, 2000 09:00:00\",\"Aug 01, 2000 09:00:00\"";

// A games list of two games, loaded, with the totals file given or seeded from the list, and
// when a boot file is given the emulator running with that disc in D:.
struct Games : Harness {
    explicit Games(const std::string& totals = "", const std::string& names = "", const std::string& boot = "") {
        std::string stats = kFreshFile;
        os.files.Put(kStatsPath, stats.replace(stats.find("-1\r\n"), 4, "1\r\n" + kGames));
        if (!totals.empty()) os.files.Put(kTotalsPath, totals);
        if (!names.empty()) os.files.Put(kNamesPath, names);
        if (!boot.empty()) {
            GameDisc();
            Emulator(true);
            os.files.Put("D:\\system.cnf", "BOOT = cdrom:\\" + boot + ";1\r\n");
        }
        form.Form_Load();
    }
    void PressF2(int line) {
        form.lstGames.Select(line);
        std::int16_t key = kF2;
        form.lstGames_KeyDown(key, 0);
    }
    void Name(int line, std::optional<std::string> typed) {
        os.windowing.typed.push_back(std::move(typed));
        PressF2(line);
    }
    std::string Import(std::optional<std::string> list) {
        if (list) os.files.Put(kListPath, *list);
        os.windowing.chosenFiles.push_back(kListPath);
        form.ImportGameNames();
        return os.windowing.messageBoxes.empty() ? "" : os.windowing.messageBoxes.back().prompt;
    }
    std::string Totals() const { return os.files.Get(kTotalsPath); }
    std::string Title(int line) { return form.GameTip(line).substr(0, form.GameTip(line).find(':')); }
};

// The totals file with the two games' names: "" for none, "-" for one the user removed.
std::string TotalsFile(const std::string& slusName, const std::string& scesName) {
    const auto line = [](const std::string& game, const std::string& name) {
        const std::string from = name.empty() ? "" : "typed";
        return game + ",\"" + (name == "-" ? "" : name) + "\",\"" + from + "\"\r\n";
    };
    return "\"KavriStat games\",3\r\n" + line(kSlus, slusName) + line(kSces, scesName);
}

TEST(GameNames, NamingRenamingAndRemovingSaveAtOnce) {
    Games h;
    const std::string stats = h.Stats();
    h.Name(0, "  Crystal Qu\xC3\xA9st  ");  // kept without the blanks, in the code page
    EXPECT_EQ(h.Totals(), TotalsFile("Crystal Qu\xE9st", ""));
    EXPECT_EQ(h.form.GameTip(0), "Crystal Qu\xE9st" + kDash + "SLUS-00594: 1h 5m in total over 3 plays, first played Jul 30, 2000");
    h.Name(0, "Crystal Quest");
    EXPECT_EQ(h.os.windowing.prefilled, (std::vector<std::string>{"", "Crystal Qu\xC3\xA9st"}));
    h.Name(1, "Tokimeki");
    h.Name(1, std::nullopt);  // Cancel
    EXPECT_EQ(h.Totals(), TotalsFile("Crystal Quest", "Tokimeki"));
    EXPECT_TRUE(h.form.HasTypedName(1));
    h.form.RemoveGameName(1);
    h.Name(0, " ");  // an empty name removes it
    EXPECT_EQ(h.Totals(), TotalsFile("-", "-"));
    EXPECT_EQ(h.Title(0), "SLUS-00594");
    EXPECT_FALSE(h.form.HasTypedName(1));
    EXPECT_EQ(h.Stats(), stats);
    h.Name(1, "Tokimeki");
    std::int16_t key = 46;  // Delete: the game goes with its name
    h.form.lstGames_KeyDown(key, 0);
    h.form.Timer1_Timer();
    EXPECT_EQ(h.Totals(), "\"KavriStat games\",3\r\n" + kSlus + ",\"\",\"typed\"\r\n");
}

TEST(GameNames, ANameTheFilesCannotHoldIsRefusedInTheDialog) {
    const std::string e = "\xC3\xA9";  // é, one character of two bytes
    std::string hundred;
    for (int i = 0; i < 100; ++i) hundred += e;
    const struct {
        std::string typed;
        const char* reason;  // nullptr: taken
    } rows[] = {
        {"Crystal \"Quest\"", texts::kNameHasQuote},  {"Crystal\tQuest", texts::kNameNotOneLine},
        {hundred + "x", texts::kNameTooLong},         {"\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0", texts::kNameOutsideCodePage},
        {hundred, nullptr},
    };
    for (const auto& row : rows) {
        Games h;
        const std::string before = h.Totals();
        h.Name(0, row.typed);
        EXPECT_EQ(h.os.windowing.refusals, row.reason ? std::vector<std::string>{row.reason} : std::vector<std::string>{});
        EXPECT_EQ(h.Totals() == before, row.reason != nullptr) << row.typed;
    }
}

TEST(GameNames, AnOlderFileUpgradesAtItsNextChangeANewerOneIsNeverReplaced) {
    const std::string version1 = "\"KavriStat games\",1\r\n" + kSlus + "\r\n" + kSces + "\r\n";
    Games older(version1);
    older.form.Timer1_Timer();
    EXPECT_EQ(older.Totals(), version1);
    older.Name(1, "Tokimeki");
    EXPECT_EQ(older.Totals(), TotalsFile("", "Tokimeki"));
    EXPECT_EQ(older.os.files.Get(kAppDir + "\\kvrgames.bak"), "");

    const std::string version3 = "\"KavriStat games\",4\r\n" + kSlus + ",\"Crystal Quest\",\"typed\",\"later\"\r\n";
    Games newer(version3, "", "SLUS_005.94");
    for (int i = 0; i < 4; ++i) {
        newer.os.clock.Advance(60);
        newer.form.Timer1_Timer();
    }
    newer.Name(0, "Other");
    newer.form.CloseRequested(2);
    EXPECT_EQ(newer.Totals(), version3);
    EXPECT_EQ(newer.Title(0), "Crystal Quest" + kDash + "SLUS-00594");
    ASSERT_EQ(newer.os.shell.balloons.size(), 1u);
    EXPECT_NE(newer.os.shell.balloons[0].text.find("kvrgames.csv was written by a newer version"), std::string::npos);
    EXPECT_EQ(newer.os.windowing.messageBoxes.back().prompt, texts::kNamesUnsaved);
    EXPECT_TRUE(newer.os.windowing.prefilled.empty());

    Games newerFromFile("\"KavriStat games\",4\r\n" + kSlus + ",\"Crystal Quest\",\"file\",\"later\"\r\n");
    EXPECT_EQ(newerFromFile.Title(0), "Crystal Quest" + kDash + "SLUS-00594");
    EXPECT_FALSE(newerFromFile.form.HasTypedName(0));  // a name from a file is no name to remove
}

TEST(GameNames, ListLinesInEveryWrittenForm) {
    const struct {
        std::string line;
        std::string id;  // empty: not understood
        std::string name;
    } rows[] = {
        {"SLUS-00594, Crystal Quest", "SLUS-00594", "Crystal Quest"},
        {"slus_005.94;\"Crystal, Quest\"", "SLUS-00594", "Crystal, Quest"},
        {"\t\"SLUS00594\"\t  Crystal Quest  ", "SLUS-00594", "Crystal Quest"},
        {"SCES-05678 ; \"Say \"\"hi\"\"\"", "", ""},  // a quote the files cannot hold
        {"SLUS-00594 Crystal Quest", "", ""},
        {"00594, Crystal Quest", "", ""},
        {"SLUS-005A4, Crystal Quest", "", ""},
        {"SLUS-00594,", "", ""},
        {"SLUS-00594, \"Crystal", "", ""},
        {"SLUS-00594, \"Crystal\" Quest", "", ""},
    };
    for (const auto& row : rows) {
        const NameLines lines = ReadNameLines("\r\n  \n" + row.line + "\r\n");
        EXPECT_EQ(lines.notUnderstood, row.id.empty() ? 1u : 0u) << row.line;
        const std::vector<std::pair<std::string, std::string>> names{{row.id, row.name}};
        EXPECT_EQ(lines.names, row.id.empty() ? decltype(names){} : names) << row.line;
    }
}

TEST(GameNames, ListFilesInEachTextEncoding) {
    const std::string utf8 = "S1,Qu\xC3\xA9st";
    const auto utf16 = [](bool big) {
        std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t c : u"S1,Qu\u00E9st") {
            if (!c) break;
            const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
            bytes += big ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    const struct {
        std::string bytes;
        std::optional<std::string> text;
    } rows[] = {
        {utf8, utf8},          {"\xEF\xBB\xBF" + utf8, utf8},
        {"S1,Qu\xE9st", utf8},  // the code page
        {"S1,Qu\xF5\x80\x80st", "S1,Qu\xC3\xB5\xC2\x80\xC2\x80st"},  // F5 leads no UTF-8 sequence: the code page
        {utf16(false), utf8},  {utf16(true), utf8},
        {utf16(false) + "x", std::nullopt},
        {std::string("\x89PNG\r\n\x1A\n\0\0", 10), std::nullopt},
    };
    fake::FakeCodePage codePage;
    for (const auto& row : rows)
        EXPECT_EQ(DecodeText(row.bytes, [&](std::string_view b) { return codePage.FromCodePage(b); }), row.text) << row.bytes;
}

TEST(GameNames, AnImportedListNamesEveryGameWithoutATypedNameLaterOnesToo) {
    Games h;
    h.Name(0, "Crystal Quest");
    EXPECT_EQ(h.Import("SLUS_005.94; List Quest\r\nsces05678\t\"Tokimeki, Part 1\"\nSLPM-86001,Later Game\nnot a line\n\n"),
              "Imported 3 game names. 1 line was not understood.");
    EXPECT_EQ(h.os.files.Get(kNamesPath), "\"KavriStat names\",1\r\n\"SCES-05678\",\"Tokimeki, Part 1\"\r\n"
                                          "\"SLPM-86001\",\"Later Game\"\r\n\"SLUS-00594\",\"List Quest\"\r\n");
    EXPECT_EQ(h.Title(0), "Crystal Quest" + kDash + "SLUS-00594");  // a typed name wins
    EXPECT_EQ(h.Title(1), "Tokimeki, Part 1" + kDash + "SCES-05678");
    h.form.RemoveGameName(0);
    EXPECT_EQ(h.Title(0), "List Quest" + kDash + "SLUS-00594");

    Games later("", h.os.files.Get(kNamesPath), "SLPM_860.01");  // a later session, a game new to it
    EXPECT_EQ(later.Title(2), "Later Game" + kDash + "SLPM-86001");

    std::string many;
    for (int i = 0; i <= static_cast<int>(kNameListMax); ++i) many += "A" + std::to_string(100000 + i) + ",N\n";
    EXPECT_EQ(h.Import(many), "Imported 100000 game names. Every line was understood. 1 name past the first 100000 was left out.");
}

TEST(GameNames, ABadListChangesNothing) {
    const std::string kept = "\"KavriStat names\",1\r\n\"SLUS-00594\",\"List Quest\"\r\n";
    const struct {
        std::optional<std::string> list;  // nothing: the file cannot be read
        const char* message;
        bool unsaved = false;
    } rows[] = {
        {std::string("SLUS-00594,A\r\n\0\0\x01", 17), texts::kImportNotText},
        {std::string(kNameImportMaxBytes + 1, 'a'), texts::kImportTooLarge},
        {"Crystal Quest\r\nSLUS-00594 Crystal Quest\r\nSLUS-00594, \xE3\x82\xB2\r\n", texts::kImportNoLine},
        {std::nullopt, texts::kImportUnreadable},
        {"SLUS-00594, New Quest\r\n", texts::kImportUnsaved, true},
    };
    for (const auto& row : rows) {
        Games h("", kept);
        if (row.unsaved) h.os.files.unwritable.insert(kNamesPath);
        EXPECT_EQ(h.Import(row.list), row.message);
        EXPECT_EQ(h.os.files.Get(kNamesPath), kept);
        EXPECT_EQ(h.Title(0), "List Quest" + kDash + "SLUS-00594");
    }
}

}  // namespace
}  // namespace kavri::test
