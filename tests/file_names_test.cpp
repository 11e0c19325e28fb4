// Games named after the image files they are played from, until the user names them: the rule
// that takes the copy's tags off a file's name, and which name wins in every order of events.
#include <algorithm>
#include <sstream>

#include "stats/file_title.h"
#include "tests/disc_images.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

constexpr std::uint32_t kEmulatorId = 102;
constexpr std::int16_t kF2 = 113;  // VK_F2
const std::string kImages = "C:\\Jeux\\";
const std::string kDash = " \x97 ";  // the em dash in the code page

TEST(FileNames, TitleFromTheFilesName) {
    const struct {
        const char* path;
        const char* title;
    } rows[] = {
        {"C:\\G\\Star Voyager (USA) (Disc 1) (v1.1).cue", "Star Voyager"},
        {"Moon Racer.iso", "Moon Racer"},
        {"Moon Racer (Europe) (En,Fr,De).bin", "Moon Racer"},
        {"Moon Racer (Track 1).bin", "Moon Racer"},
        {"Moon Racer (Rev 1) [!].chd", "Moon Racer"},
        {"Moon Racer [SLUS_005.94].bin.ecm", "Moon Racer"},          // the game's own identifier
        {"Moon Racer [SLUS-00595].img", "Moon Racer [SLUS-00595]"},  // another game's
        {"Saga (USA, Europe) (Disc 2 of 3).cue", "Saga"},
        {"Saga (v1.1) (Japan) (En-GB,Ja).iso", "Saga"},
        {"(USA) (Disc 1).iso", ""},
        {"Racing (Turbo Edition) (USA).iso", "Racing (Turbo Edition)"},
        {"Racing (Beta).iso", "Racing (Beta)"},
        {"Quest (Director's Cut (Fan)) (Japan).img", "Quest (Director's Cut (Fan))"},
        {"Quest (Japan.iso", "Quest (Japan"},
        {"Quest Japan).iso", "Quest Japan)"},
        {"Quest [Japan).iso", "Quest [Japan)"},
        {"Caf\xC3\xA9 Racer (France).iso", "Caf\xC3\xA9 Racer"},
        {"\xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0 (Russia).m3u", "\xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0"},
    };
    for (const auto& row : rows) EXPECT_EQ(TitleFromImageFile(row.path, "SLUS-00594"), row.title) << row.path;
}

std::string IsoOf(const std::string& code) { return Iso({{"SYSTEM.CNF;1", "BOOT = cdrom:\\" + code + ";1\r\n"}}); }

int LineOf(Harness& h, const std::string& id) {
    for (int i = 0; i < h.form.lstGames.Count(); ++i)
        if (h.form.lstGames.Line(i).starts_with(id + "\t")) return i;
    return -1;
}

// Events, separated by "|": "play=FILE" the emulator starts anew with the image FILE; "hold=FILE" it opens FILE;
// "type=NAME" the user names the game last played ("type=" empties the name); "list=NAME" an
// imported list names SLUS-00001; "nolist" a list without it. Answers the title of SLUS-00001.
std::string TitlesAfter(const std::string& events) {
    Harness h;
    h.os.files.Put(kImages + "Star Voyager (USA) (Disc 1).iso", IsoOf("SLUS_000.01"));
    h.os.files.Put(kImages + "Renamed.iso", IsoOf("SLUS_000.01"));
    h.os.files.Put(kImages + "Saga (USA).m3u", "Saga (USA) (Disc 1).iso\r\nSaga (USA) (Disc 2).iso\r\nSaga (USA) (Disc 3).iso\r\n");
    for (const char* disc : {"1", "2", "3"})
        h.os.files.Put(kImages + "Saga (USA) (Disc " + disc + ").iso", IsoOf(std::string("SLUS_000.1") + disc));
    h.form.Form_Load();
    std::istringstream in(events);
    for (std::string event; std::getline(in, event, '|');) {
        const std::string value = event.substr(event.find('=') + 1);
        if (event.starts_with("play=")) {
            h.Emulator(false);
            h.form.Timer1_Timer();
            h.os.kernel.handles.clear();
            h.os.kernel.commandLines[kEmulatorId] = "kavri.exe \"" + kImages + value + "\"";
            h.Emulator(true);
        }
        if (event.starts_with("hold=")) {
            h.os.kernel.handles = {{kEmulatorId, 8, true, h.os.kernel.handles.empty() ? 1 : h.os.kernel.handles[0].object + 1}};
            h.os.kernel.handlePaths[8] = {HandlePath::Outcome::Path, kImages + value};
        }
        if (event.starts_with("type=")) {
            h.os.windowing.typed.push_back(value);
            h.form.lstGames.Select(LineOf(h, h.form.currentGameId));
            std::int16_t key = kF2;
            h.form.lstGames_KeyDown(key, 0);
        }
        if (event.starts_with("list=") || event == "nolist") {
            h.os.files.Put("C:\\names.txt", event == "nolist" ? "SLUS-00099, Other\r\n" : "SLUS-00001, " + value + "\r\n");
            h.os.windowing.chosenFiles.push_back("C:\\names.txt");
            h.form.ImportGameNames();
        }
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
    }
    std::string titles = h.form.GameTitle("SLUS-00001");
    for (const char* id : {"SLUS-00011", "SLUS-00012", "SLUS-00013"})
        if (LineOf(h, id) >= 0) titles += "|" + h.form.GameTitle(id);
    return titles;
}

TEST(FileNames, WhichNameWinsInEveryOrder) {
    const std::string voyager = "Star Voyager" + kDash + "SLUS-00001";
    const struct {
        const char* what;
        const char* events;
        std::string titles;
    } rows[] = {
        {"the file's name", "play=Star Voyager (USA) (Disc 1).iso", voyager},
        {"the file's name, then an import", "play=Star Voyager (USA) (Disc 1).iso|list=Listed", "Listed" + kDash + "SLUS-00001"},
        {"an import, then the file's name", "list=Listed|play=Star Voyager (USA) (Disc 1).iso", "Listed" + kDash + "SLUS-00001"},
        {"an import that drops it lets the file's name show",
         "list=Listed|play=Star Voyager (USA) (Disc 1).iso|nolist", voyager},
        {"the file's name, then a typed one", "play=Star Voyager (USA) (Disc 1).iso|type=Typed", "Typed" + kDash + "SLUS-00001"},
        {"a typed name, then the file's, then an import", "play=Renamed.iso|type=Typed|play=Star Voyager (USA) (Disc 1).iso|list=Listed",
         "Typed" + kDash + "SLUS-00001"},
        {"set once: a renamed copy changes nothing", "play=Star Voyager (USA) (Disc 1).iso|play=Renamed.iso|hold=Renamed.iso", voyager},
        {"a name the user emptied is not given back by the file", "play=Star Voyager (USA) (Disc 1).iso|type=|play=Renamed.iso",
         "SLUS-00001"},
        {"three discs of a list share its name", "play=Saga (USA).m3u|hold=Saga (USA) (Disc 2).iso|hold=Saga (USA) (Disc 3).iso",
         "SLUS-00001|Saga" + kDash + "SLUS-00011|Saga" + kDash + "SLUS-00012|Saga" + kDash + "SLUS-00013"},
    };
    for (const auto& row : rows) EXPECT_EQ(TitlesAfter(row.events), row.titles) << row.what;
}

}  // namespace
}  // namespace kavri::test
