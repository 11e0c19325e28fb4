// Games played from disc images: which image the emulator plays, from its command line, its open
// files and its mapped files, and how that image is recorded, timed and ended.
#include <sstream>

#include "monitor/command_line.h"
#include "tests/disc_images.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

constexpr std::uint32_t kEmulatorId = 102;  // the third process of the harness's list
const std::string kImages = "C:\\Jeux\\L'\xC3\xA9t\xC3\xA9 & co\\";

std::string IsoOf(const std::string& code) { return Iso({{"SYSTEM.CNF;1", "BOOT = cdrom:\\" + code + ";1\r\n"}}); }

// Runs events, answering after each tick the current game and its minutes ("-" for none).
// Events: "run"/"stop" the emulator; "cmd=a b" its command line after its name, "@" standing for
// the images' folder and "+" for a blank; "open=p" it
// holds the image p open ("open=" nothing); "map=p" it maps p; "block" a handle of it blocks;
// "t" a tick a minute after the last.
std::string Script(Harness& h, const std::string& events) {
    std::istringstream in(events);
    std::string event, trace;
    while (in >> event) {
        const std::string value = event.substr(std::min(event.size(), event.find('=') + 1));
        if (event == "run" || event == "stop") h.Emulator(event == "run");
        if (event.starts_with("cmd=")) {
            std::string line = "\"C:\\Kavri\\kavri.exe\" " + value;
            for (std::size_t at; (at = line.find_first_of("@+")) != std::string::npos;)
                line.replace(at, 1, line[at] == '@' ? kImages : " ");
            h.os.kernel.commandLines[kEmulatorId] = line;
        }
        if (event.starts_with("map=")) h.os.kernel.mappedFiles[kEmulatorId] = {kImages + value};
        if (event.starts_with("open=")) {
            h.os.kernel.handles = {{kEmulatorId, 8, true}, {7, 12, true}, {kEmulatorId, 16, false}};
            h.os.kernel.handlePaths[8] = {HandlePath::Outcome::Path, value.empty() ? "C:\\Kavri\\kavri.ini" : kImages + value};
            h.os.kernel.handlePaths[12] = {HandlePath::Outcome::Path, kImages + "s2.iso"};  // another process's
        }
        if (event == "block") h.os.kernel.handles.insert(h.os.kernel.handles.begin(), {kEmulatorId, 4, true});
        if (event == "block") h.os.kernel.handlePaths[4] = {HandlePath::Outcome::TimedOut, {}};
        if (event != "t") continue;
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
        trace += (trace.empty() ? "" : " ") +
                 (h.form.currentIndex < 0 ? "-" : h.form.currentGameId + "/" + std::to_string(h.form.gameMinutes));
    }
    return trace;
}

TEST(ImageProbe, WhichImageIsPlayedAndHowItIsCounted) {
    const struct {
        const char* what;
        const char* events;
        const char* trace;
        const char* games;  // each line's identifier and count
    } scripts[] = {
        {"an image on the command line is recorded once and timed", "run cmd=\"@s1.cue\" t t t",
         "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2", "SLUS-00001 1"},
        {"a launcher's other files; the last game image wins", "run cmd=-bios\\+\"@b.bin\"+\"@s1.iso\"+\"@s2.iso\"+@s1.iso+\"@c.mcd\" t",
         "SLUS-00002/0", "SLUS-00002 1"},
        {"an image opened in the emulator's menu, then another", "run t open=s1.iso t t open=s2.iso t t",
         "- SLUS-00001/0 SLUS-00001/1 SLUS-00002/0 SLUS-00002/1", "SLUS-00001 1|SLUS-00002 1"},
        {"what it holds open wins over its command line", "run cmd=\"@s1.iso\" open=s2.bin.ecm t t",
         "SLUS-00002/0 SLUS-00002/1", "SLUS-00002 1"},
        {"the command line's image held open is one play", "run cmd=\"@s1.cue\" open=s1.bin t t", "SLUS-00001/0 SLUS-00001/1",
         "SLUS-00001 1"},
        {"the image closed ends the game; opened again, it counts again", "run open=s1.iso t t open= t open=s1.iso t",
         "SLUS-00001/0 SLUS-00001/1 - SLUS-00001/0", "SLUS-00001 2"},
        {"the emulator stopped and started again", "run cmd=\"@s1.iso\" t stop t run t", "SLUS-00001/0 - SLUS-00001/0",
         "SLUS-00001 2"},
        {"a mapped image", "run map=s2.iso t t", "SLUS-00002/0 SLUS-00002/1", "SLUS-00002 1"},
        {"a handle that blocks gives up the tick, and is not asked again", "run open=s1.iso block t t",
         "- SLUS-00001/0", "SLUS-00001 1"},
        {"no image of a game", "run cmd=\"@s3.iso\" open=kavri.ini t", "-", ""},
    };
    for (const auto& script : scripts) {
        Harness h;
        const std::string s1 = Raw(IsoOf("SLUS_000.01"), kRawSector, 2);
        h.os.files.Put(kImages + "s1.cue", "FILE \"s1.bin\" BINARY\r\nTRACK 01 MODE2/2352\r\nINDEX 01 00:00:00\r\n");
        h.os.files.Put(kImages + "s1.bin", s1);
        h.os.files.Put(kImages + "s1.iso", IsoOf("SLUS_000.01"));
        h.os.files.Put(kImages + "s2.iso", IsoOf("SLUS_000.02"));
        h.os.files.Put(kImages + "s2.bin.ecm", Ecm(Raw(IsoOf("SLUS_000.02"), kRawSector, 1), 1));
        h.os.files.Put(kImages + "s3.iso", Iso({{"README.TXT", "x"}}));
        h.os.files.Put(kImages + "b.bin", std::string(512 * 1024, '\0'));
        h.form.Form_Load();
        EXPECT_EQ(Script(h, script.events), script.trace) << script.what;
        std::string games;
        for (int i = 0; i < h.form.lstGames.Count(); ++i) {
            const std::string& line = h.form.lstGames.Line(i);
            games += (i ? "|" : "") + line.substr(0, line.find('\t')) + " " + line.substr(line.find('\t') + 1, 1);
        }
        EXPECT_EQ(games, script.games) << script.what;
        EXPECT_LE(h.os.kernel.longestBudgetMs, 500u) << script.what;
    }
}

TEST(ImageProbe, AnImageIsReadOnceUntilItChanges) {
    Harness h;
    h.os.files.Put(kImages + "s1.iso", IsoOf("SLUS_000.01"));
    h.form.Form_Load();
    Script(h, "run cmd=x open=s1.iso t t");
    const int reads = h.os.files.rangesRead;
    EXPECT_EQ(Script(h, "t t"), "SLUS-00001/2 SLUS-00001/3");
    EXPECT_EQ(h.os.files.rangesRead, reads);
    h.os.files.Put(kImages + "s1.iso", IsoOf("SLUS_000.03"));  // rewritten while held: another disc
    EXPECT_EQ(Script(h, "t"), "SLUS-00003/0");
    EXPECT_GT(h.os.files.rangesRead, reads);
}

TEST(ImageProbe, AnImageDecidesOverADiscAndNoDriveEndsIt) {
    Harness h;
    h.os.files.Put(kImages + "s2.iso", IsoOf("SLUS_000.02"));
    h.GameDisc("D:");
    h.form.Form_Load();
    EXPECT_EQ(Script(h, "run t open=s2.iso t t"), "SLUS-00594/1 SLUS-00002/0 SLUS-00002/1");
    h.os.multimedia.drives["D:"].status = "false";  // the disc taken out
    EXPECT_EQ(Script(h, "t"), "SLUS-00002/2");
}

TEST(ImageProbe, CommandLineSplitAsWindowsSplitsIt) {
    const struct {
        const char* line;
        std::vector<std::string> args;
    } rows[] = {
        {"kavri.exe", {"kavri.exe"}},
        {"\"C:\\Program Files\\K\\kavri.exe\" \"C:\\Jeux\\L'\xC3\xA9t\xC3\xA9 & co\\a b.cue\"",
         {"C:\\Program Files\\K\\kavri.exe", "C:\\Jeux\\L'\xC3\xA9t\xC3\xA9 & co\\a b.cue"}},
        {"k.exe  -f\t \"a\"b\"\" c", {"k.exe", "-f", "ab", "c"}},
        {"k.exe a\\\\\"b c\" d\\e", {"k.exe", "a\\b c", "d\\e"}},
        {"k.exe a\\\"b \"c\"\"d\" \"e", {"k.exe", "a\"b", "c\"d", "e"}},
        {"\"C:\\a b\\k.exe\"x y", {"C:\\a b\\k.exe", "x", "y"}},
    };
    for (const auto& row : rows) EXPECT_EQ(SplitCommandLine(row.line), row.args) << row.line;
}

}  // namespace
}  // namespace kavri::test
