// Games named after the image files they are played from, until the user names them: the rule
// that takes the copy's tags off a file's name, and which name wins in every order of events.
#include <algorithm>
#include <sstream>
#include <tuple>

#include "history/chart.h"
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
        {"Saga (CD2) (Rev A) (Version 2) (Pt-BR).cue", "Saga"},
        {"Let's (Go).iso", "Let's (Go)"}, {"Alley Sprint (Ok).iso", "Alley Sprint (Ok)"},  // languages release names use
        {"Racing (GT).iso", "Racing (GT)"}, {"Hero (Ax-99) (De-99).iso", "Hero (Ax-99) (De-99)"},
        {"Racing (V8).iso", "Racing (V8)"},  // a version's number is dotted
        {"Pinball (CD40).iso", "Pinball (CD40)"}, {".cue", ""},  // a disc group names a disc of a set
        {"Saga - Disc 1.bin", "Saga"}, {"Saga CD1.bin", "Saga"}, {"Hero (Disc A).iso", "Hero"},
        {"Hero (Side A).iso", "Hero (Side A)"}, {"Gran Turismo 2 (Arcade Disc).cue", "Gran Turismo 2 (Arcade Disc)"},
        {"Arena (PAL).bin", "Arena"}, {"Arena (NTSC-U).bin", "Arena"}, {"Arena (Japan) (1.1).bin", "Arena"},
        {"Hero (en,fr).iso", "Hero"}, {"Hero (EN).iso", "Hero"}, {"Hero (eN).iso", "Hero (eN)"},
        {"Track & Field.iso", "Track & Field"}, {"Disc Jam.iso", "Disc Jam"}, {"Hero II (v1.1).iso", "Hero II"},
        // Real titles whose last words look like a copy's tags.
        {"Saga - Disc Jockey.iso", "Saga - Disc Jockey"}, {"Racing CD.iso", "Racing CD"}, {"Pal (Europe).iso", "Pal"},
        {"Alpha (1.0 Edition).iso", "Alpha (1.0 Edition)"}, {"Hero (It) (Italy).iso", "Hero"}, {"Saga - Disc A.iso", "Saga"},
        {"Pilot Disk 3.iso", "Pilot"}, {"Mega CD 2 Hits.iso", "Mega CD 2 Hits"}, {"Spin - CD.iso", "Spin - CD"},
        {"Formula (2.0).iso", "Formula"}, {"Jet Set (no).iso", "Jet Set (no)"}, {"Studio CD I.iso", "Studio CD I"},
    };
    for (const auto& row : rows) {
        const std::vector<std::string> titles = TitlesFromImagePath(row.path, "SLUS-00594").titles;
        EXPECT_EQ(titles.empty() ? "" : titles[0], row.title) << row.path;
    }
}

// Where a file's name says nothing of its game, its folders name it; a disc of a set says so.
TEST(FileNames, NamesAPathOffers) {
    const struct {
        const char *path, *titles;
        bool disc;
    } rows[] = {
        {"C:\\PSX\\Crystal Quest (USA)\\game.iso", "Crystal Quest", false},
        {"C:\\ISOs\\Saga\\Disc 2.bin", "Saga", true},
        {"C:\\A\\B\\C\\D\\Track 01 (Europe).bin", "D|C|B", false},
        {"C:\\PSP\\GAME\\SLUS00594\\EBOOT.PBP", "", false},
        {"\\\\nas\\share\\1942.iso", "1942", false},
        {"D:\\Images\\Saga (USA) (Disc 1).iso", "Saga|Saga (USA) (Disc 1)", true},
    };
    for (const auto& row : rows) {
        const ImageTitles offered = TitlesFromImagePath(row.path, "SLUS-00594");
        std::string titles;
        for (const std::string& title : offered.titles) titles += (titles.empty() ? "" : "|") + title;
        EXPECT_EQ(titles, row.titles) << row.path;
        EXPECT_EQ(offered.disc, row.disc) << row.path;
    }
}

std::string IsoOf(const std::string& code) { return Iso({{"SYSTEM.CNF;1", "BOOT = cdrom:\\" + code + ";1\r\n"}}); }

int LineOf(Harness& h, const std::string& id) {
    for (int i = 0; i < h.form.lstGames.Count(); ++i)
        if (h.form.lstGames.Line(i).starts_with(id + "\t")) return i;
    return -1;
}

// Events, separated by "|": "play=FILE" the emulator starts anew with the image FILE ("play=FILE>HELD" holding
// HELD at once); "hold=FILE" it opens FILE;
// "type=NAME" the user names the game last played ("type=" empties the name); "remove" removes its
// name; "list=NAME" an imported list names SLUS-00001; "nolist" a list without it. Answers the
// History chooser's entries for the games played.
std::string ChooserAfter(const std::string& events) {
    Harness h;
    const std::pair<std::string, const char*> images[] = {
        {"Star Voyager (USA) (Disc 1).iso", "SLUS_000.01"}, {"Renamed.iso", "SLUS_000.01"},
        {std::string(101, 'L') + ".iso", "SLUS_000.01"},    {"Star Voyager (Europe).iso", "SCES_000.01"},
        {"Saga (USA) (Disc 2).iso", "SLUS_000.12"},         {"Saga (USA) (Disc 3).iso", "SLUS_000.13"},
        {"fs1.iso", "SLUS_000.21"},                         {"fs2.iso", "SLUS_000.22"},
        {"Moon Racer.iso", "SLUS_000.31"},                  {"Arcade\\MOON RACER.iso", "SLUS_000.32"},
        {"Crystal Quest\\game.iso", "SLUS_000.41"},         {"Tokimeki\\game.iso", "SLUS_000.42"},
    };
    for (const auto& [file, code] : images) h.os.files.Put(kImages + file, IsoOf(code));
    const std::tuple<std::string, const char*, std::string> packages[] = {  // titled unlike their folders
        {"Voyager PSP", "SLUS_000.01", "Star Voyager Deluxe"}, {"Tides 1", "SLUS_000.21", "Lantern Tides"},
        {"Tides 2", "SLUS_000.22", "Lantern Tides"}, {"Untitled", "SLUS_000.51", ""},
        {"Far", "SLUS_000.52", "\xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0"}};  // outside the code page
    for (const auto& [folder, code, title] : packages) {
        const std::vector<std::pair<std::string, std::string>> sfo{{"DISC_ID", "X"}, {title.empty() ? "TITLES" : "TITLE", title}};
        h.os.files.Put(kImages + folder + "\\EBOOT.PBP", Pbp({PbpDisc(Raw(IsoOf(code), kRawSector, 2))}, sfo));
    }
    h.os.files.Put(kImages + "Lantern Tides (USA).m3u", "fs1.iso\r\nfs2.iso\r\n");
    h.os.files.Put(kImages + "Dusk Saga.m3u", "Untitled\\EBOOT.PBP\r\n");
    h.form.Form_Load();
    std::istringstream in(events + "|tick");  // a last tick takes what was read in the background
    for (std::string event; std::getline(in, event, '|');) {
        const std::size_t arrow = event.find('>');
        const std::string value = event.substr(event.find('=') + 1, arrow - event.find('=') - 1);
        const std::string held = event.starts_with("hold=") ? value : arrow == std::string::npos ? "" : event.substr(arrow + 1);
        if (event.starts_with("play=")) {
            h.Emulator(false);
            h.form.Timer1_Timer();
            h.os.kernel.handles.clear();
            h.os.kernel.commandLines[kEmulatorId] = "kavri.exe \"" + kImages + value + "\"";
            h.Emulator(true);
        }
        if (!held.empty()) {
            h.os.kernel.handles = {{kEmulatorId, 8, true, h.os.kernel.handles.empty() ? 1 : h.os.kernel.handles[0].object + 1}};
            h.os.kernel.handlePaths[8] = {HandlePath::Outcome::Path, kImages + held};
        }
        if (event.starts_with("type=")) {
            h.os.windowing.typed.push_back(value);
            h.form.lstGames.Select(LineOf(h, h.form.currentGameId));
            std::int16_t key = kF2;
            h.form.lstGames_KeyDown(key, 0);
        }
        if (event == "remove") h.form.RemoveGameName(LineOf(h, h.form.currentGameId));
        if (event.starts_with("list=") || event == "nolist") {
            h.os.files.Put("C:\\names.txt", event == "nolist" ? "SLUS-00099, Other\r\n" : "SLUS-00001, " + value + "\r\n");
            h.os.windowing.chosenFiles.push_back("C:\\names.txt");
            h.form.ImportGameNames();
        }
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
    }
    std::vector<std::string> games, names, titles;
    for (const GameTotal& game : h.form.gameTotals.Games()) {
        games.push_back(game.id);
        names.push_back(h.form.GameName(game.id));
        titles.push_back(h.form.GameTitle(game.id));
    }
    std::string entries;
    for (const ChooserEntry& entry : GroupByName(games, names, titles)) entries += (entries.empty() ? "" : "|") + entry.title;
    return entries;
}

TEST(FileNames, WhichNameWinsInEveryOrder) {
    const std::string voyager = "Star Voyager" + kDash + "SLUS-00001";
    const std::string deluxe = "Star Voyager Deluxe" + kDash + "SLUS-00001";
    const struct {
        const char* what;
        std::string events;
        std::string entries;
    } rows[] = {
        {"the file's name", "play=Star Voyager (USA) (Disc 1).iso", voyager},
        {"the file's name, then an import", "play=Star Voyager (USA) (Disc 1).iso|list=Listed", "Listed" + kDash + "SLUS-00001"},
        {"an import, then the file's name", "list=Listed|play=Star Voyager (USA) (Disc 1).iso", "Listed" + kDash + "SLUS-00001"},
        {"an import that drops it lets the file's name show",
         "list=Listed|play=Star Voyager (USA) (Disc 1).iso|nolist", voyager},
        {"the file's name, then a typed one", "play=Star Voyager (USA) (Disc 1).iso|type=Typed", "Typed" + kDash + "SLUS-00001"},
        {"OK on the file's name offered makes it typed", "play=Star Voyager (USA) (Disc 1).iso|type=Star Voyager|list=Listed",
         voyager},
        {"a name from the file is not one to remove", "play=Star Voyager (USA) (Disc 1).iso|remove", voyager},
        {"a typed name, then the file's, then an import", "play=Renamed.iso|type=Typed|play=Star Voyager (USA) (Disc 1).iso|list=Listed",
         "Typed" + kDash + "SLUS-00001"},
        {"set once: a renamed copy changes nothing", "play=Star Voyager (USA) (Disc 1).iso|play=Renamed.iso|hold=Renamed.iso", voyager},
        {"a name the user emptied is not given back by the file", "play=Star Voyager (USA) (Disc 1).iso|type=|play=Renamed.iso",
         "SLUS-00001"},
        {"a title the files cannot hold gives no name, not the folder's", "play=" + std::string(101, 'L') + ".iso", "SLUS-00001"},
        {"a list names the discs it holds, named unlike it; a disc it does not name keeps its own",
         "play=Lantern Tides (USA).m3u|hold=fs1.iso|hold=fs2.iso|hold=Moon Racer.iso",
         "Lantern Tides" + kDash + "SLUS-00021, SLUS-00022|Moon Racer" + kDash + "SLUS-00031"},
        {"discs of a set share a name; games from files named alike take their folders'",
         "play=Star Voyager (USA) (Disc 1).iso|hold=Saga (USA) (Disc 2).iso|hold=Saga (USA) (Disc 3).iso|"
         "hold=Crystal Quest\\game.iso|hold=Tokimeki\\game.iso",
         voyager + "|Saga" + kDash + "SLUS-00012, SLUS-00013|Crystal Quest" + kDash + "SLUS-00041|Tokimeki" + kDash + "SLUS-00042"},
        {"a name another game has, in any letter case, gives way to the whole name, else the folder's",
         "play=Star Voyager (USA) (Disc 1).iso|hold=Star Voyager (Europe).iso|hold=Moon Racer.iso|hold=Arcade\\MOON RACER.iso",
         voyager + "|Star Voyager (Europe)" + kDash + "SCES-00001|Moon Racer" + kDash + "SLUS-00031|Arcade" + kDash + "SLUS-00032"},
        {"a title inside the image names it before its folder", "play=Voyager PSP\\EBOOT.PBP", deluxe},
        {"and replaces a name a file gave", "play=Star Voyager (USA) (Disc 1).iso|play=Voyager PSP\\EBOOT.PBP", deluxe},
        {"a list names it before the title", "list=Listed|play=Voyager PSP\\EBOOT.PBP", "Listed" + kDash + "SLUS-00001"},
        {"so does a typed name", "play=Voyager PSP\\EBOOT.PBP|type=Typed|play=Voyager PSP\\EBOOT.PBP", "Typed" + kDash + "SLUS-00001"},
        {"and an emptied one", "play=Star Voyager (USA) (Disc 1).iso|type=|play=Voyager PSP\\EBOOT.PBP", "SLUS-00001"},
        {"discs of one title share it", "play=Tides 1\\EBOOT.PBP|hold=Tides 2\\EBOOT.PBP",
         "Lantern Tides" + kDash + "SLUS-00021, SLUS-00022"},
        {"without a title, a list the emulator was started with names it", "play=Dusk Saga.m3u>Untitled\\EBOOT.PBP|tick",
         "Dusk Saga" + kDash + "SLUS-00051"},
        {"without a title, or one the files cannot hold, the folder names it", "play=Untitled\\EBOOT.PBP|hold=Far\\EBOOT.PBP",
         "Untitled" + kDash + "SLUS-00051|Far" + kDash + "SLUS-00052"},
    };
    for (const auto& row : rows) EXPECT_EQ(ChooserAfter(row.events), row.entries) << row.what;
}

}  // namespace
}  // namespace kavri::test
