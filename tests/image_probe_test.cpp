// Games played from disc images: which image the emulator plays, from its command line, its open
// files and its mapped files, and how that image is recorded, timed and ended; images read in the
// background, handles asked once, and workers that are held up.
#include <algorithm>
#include <map>
#include <sstream>

#include "monitor/command_line.h"
#include "monitor/image_choice.h"
#include "tests/disc_images.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

constexpr std::uint32_t kEmulatorId = 102;  // the third process of the harness's list
constexpr std::uintptr_t kLateHandle = 4;
const std::string kImages = "C:\\Jeux\\L'\xC3\xA9t\xC3\xA9 & co\\";

std::string IsoOf(const std::string& code) { return Iso({{"SYSTEM.CNF;1", "BOOT = cdrom:\\" + code + ";1\r\n"}}); }

void PutImages(Harness& h) {
    h.os.files.Put(kImages + "s1.cue", "FILE \"s1.bin\" BINARY\r\nTRACK 01 MODE2/2352\r\nINDEX 01 00:00:00\r\n");
    h.os.files.Put(kImages + "s1.bin", Raw(IsoOf("SLUS_000.01"), kRawSector, 2));
    h.os.files.Put(kImages + "s1.iso", IsoOf("SLUS_000.01"));
    h.os.files.Put(kImages + "s2.iso", IsoOf("SLUS_000.02"));
    h.os.files.Put(kImages + "s4.iso", IsoOf("SLUS_000.04"));
    h.os.files.Put(kImages + "s2.bin.ecm", Ecm(Raw(IsoOf("SLUS_000.02"), kRawSector, 1), 1));
    h.os.files.Put(kImages + "s3.iso", Iso({{"README.TXT", "x"}}));
    h.os.files.Put(kImages + "x.pbp", Pbp({}, {}));  // a package whose disc is not read
    h.os.files.Put(kImages + "b.bin", std::string(512 * 1024, '\0'));
    h.os.files.Put(kImages + "s1.sub", std::string(96, '\0'));  // subchannel data beside a ".bin": no CloneCD set
}

// Adds a file handle of the emulator; a value used again names a new object.
void Hold(Harness& h, std::uintptr_t value, const std::string& path) {
    static std::uint64_t objects = 0;
    h.os.kernel.handles.push_back({kEmulatorId, value, true, ++objects});
    h.os.kernel.handlePaths[value] = {HandlePath::Outcome::Path, path};
}

// Runs events, answering after each tick the current game and its minutes ("-" for none).
// Events: "run"/"stop" the emulator; "cmd=a b" its command line after its name, "@" standing for
// the images' folder, "%" for it with "/" and "+" for a blank; "cwd=@" its current folder;
// "open=p" it holds the image p open under a handle whose object the list does not name ("open="
// nothing); "hold=V:p" it holds p under handle V, "drop=V" closes it; "map=p" it maps p; "block"
// a handle of it blocks, "jam" four do; "late=p" the handle of p answers too late, "hang" the
// handle "open=" gave does from now on, "answer" the worker on either answers; "free" the blocked workers answer; "lock=p"/"unlock=p" another program holds p;
// "unreadable=p" p opens but its reads fail, "readable" they no longer do; "readms=N" each read in
// the background takes N ms; "stall"/"resume" the network the background waits on; "done" the
// background finishes the work it was given, as a worker does between ticks; "restart" the
// emulator is started again as another process between two ticks; "nolist" the next handle list
// cannot be had; "anon=V:p" it holds p under handle V in a list that names no object, listed by
// value; "slow=V" a handle V listed last blocks; "far=V:p" it holds p under V, a handle the
// look's time does not reach until "near"; "rewrite=p:q" p is rewritten with q's bytes;
// "gone=p" p cannot be measured, "back=p" it is there again, rewritten as it was; "t" a tick a
// minute after the last.
std::string Script(Harness& h, const std::string& events) {
    std::istringstream in(events);
    std::string event, trace, late;
    std::map<std::string, std::string> gone;
    std::uintptr_t lateHandle = kLateHandle;
    auto& kernel = h.os.kernel;
    while (in >> event) {
        const std::string value = event.substr(std::min(event.size(), event.find('=') + 1));
        if (event == "run" || event == "stop") h.Emulator(event == "run");
        if (event.starts_with("cmd=") || event.starts_with("cwd=")) {
            std::string line = (event[1] == 'm' ? "\"C:\\Kavri\\kavri.exe\" " : "") + value;
            for (std::size_t at; (at = line.find_first_of("@%+")) != std::string::npos;) {
                std::string folder = kImages;
                if (line[at] == '%') std::replace(folder.begin(), folder.end(), '\\', '/');
                line.replace(at, 1, line[at] == '+' ? " " : folder);
            }
            (event[1] == 'm' ? kernel.commandLines : kernel.currentFolders)[kEmulatorId] = line;
        }
        if (event.starts_with("map=")) kernel.mappedFiles[kEmulatorId] = {kImages + value};
        if (event.starts_with("open=")) {
            kernel.handles = {{kEmulatorId, 8, true}, {7, 12, true}, {kEmulatorId, 16, false}};
            kernel.handlePaths[8] = {HandlePath::Outcome::Path, value.empty() ? "C:\\Kavri\\kavri.ini" : kImages + value};
            kernel.handlePaths[12] = {HandlePath::Outcome::Path, kImages + "s2.iso"};  // another process's
        }
        if (event.starts_with("hold=")) Hold(h, std::stoul(value), kImages + value.substr(value.find(':') + 1));
        if (event.starts_with("drop="))
            std::erase_if(kernel.handles, [&](const OpenHandle& handle) { return handle.value == std::stoul(value); });
        for (std::uintptr_t v = 1; v <= (event == "jam" ? 4u : event == "block" ? 1u : 0u); ++v) {
            kernel.handles.insert(kernel.handles.begin(), {kEmulatorId, v, true});
            kernel.handlePaths[v] = {HandlePath::Outcome::TimedOut, {}};
        }
        if (event.starts_with("late=")) {
            late = kImages + value;
            kernel.handles.insert(kernel.handles.begin(), {kEmulatorId, kLateHandle, true, 77});
            kernel.handlePaths[kLateHandle] = {HandlePath::Outcome::TimedOut, {}};
        }
        if (event == "hang") {
            late = kernel.handlePaths[8].path;
            lateHandle = 8;
            kernel.handlePaths[8] = {HandlePath::Outcome::TimedOut, {}};
        }
        if (event == "answer") kernel.handlePaths[lateHandle] = {HandlePath::Outcome::Path, late};
        if (event == "free")
            for (std::uintptr_t v = 1; v <= 4; ++v) kernel.handlePaths[v] = {HandlePath::Outcome::NotDiskFile, {}};
        if (event == "answer" || event == "free") kernel.stuck.clear();
        if (event.starts_with("lock=")) h.os.files.locked.insert(kImages + value);
        if (event.starts_with("unreadable=")) h.os.files.unreadable.insert(kImages + value);
        if (event == "readable") h.os.files.unreadable.clear();
        if (event.starts_with("readms=")) h.os.background.workMs = static_cast<unsigned>(std::stoul(value));
        if (event.starts_with("unlock=")) h.os.files.locked.clear();
        if (event == "stall" || event == "resume") h.os.background.stalled = event == "stall";
        if (event == "done") h.os.background.Wait(0);
        if (event == "restart") {  // another process of the emulator, started alike
            kernel.processes.insert(kernel.processes.begin() + 2, "notepad.exe");
            kernel.commandLines[kEmulatorId + 1] = kernel.commandLines[kEmulatorId];
        }
        if (event == "nolist") ++kernel.listFailures;
        if (event.starts_with("anon=")) {
            const std::uintptr_t v = std::stoul(value);
            const auto at = std::find_if(kernel.handles.begin(), kernel.handles.end(),
                                         [&](const OpenHandle& handle) { return handle.value > v; });
            kernel.handles.insert(at, {kEmulatorId, v, true, 0});
            kernel.handlePaths[v] = {HandlePath::Outcome::Path, kImages + value.substr(value.find(':') + 1)};
        }
        if (event.starts_with("far=")) {
            Hold(h, std::stoul(value), kImages + value.substr(value.find(':') + 1));
            kernel.unreached.insert({kernel.handles.back().value, kernel.handles.back().object});
        }
        if (event == "near") kernel.unreached.clear();
        if (event.starts_with("slow=")) {
            kernel.handles.push_back({kEmulatorId, std::stoul(value), true, 99});
            kernel.handlePaths[std::stoul(value)] = {HandlePath::Outcome::TimedOut, {}};
        }
        if (event.starts_with("rewrite=")) {
            const std::string from = kImages + value.substr(value.find(':') + 1);
            h.os.files.Put(kImages + value.substr(0, value.find(':')), h.os.files.Get(from));
        }
        if (event.starts_with("gone=")) {
            gone[value] = h.os.files.Get(kImages + value);
            h.os.files.Erase(kImages + value);
        }
        if (event.starts_with("back=")) h.os.files.Put(kImages + value, gone[value]);
        if (event != "t") continue;
        h.os.clock.Advance(60);
        h.form.Timer1_Timer();
        trace += (trace.empty() ? "" : " ") +
                 (h.form.currentIndex < 0 ? "-" : h.form.currentGameId + "/" + std::to_string(h.form.gameMinutes));
    }
    return trace;
}

// Each games line's identifier and count.
std::string Games(const Harness& h) {
    std::string games;
    for (int i = 0; i < h.form.lstGames.Count(); ++i) {
        const std::string& line = h.form.lstGames.Line(i);
        games += (i ? "|" : "") + line.substr(0, line.find('\t')) + " " + line.substr(line.find('\t') + 1, 1);
    }
    return games;
}

TEST(ImageProbe, WhichImageIsPlayedAndHowItIsCounted) {
    const struct {
        const char* what;
        const char* events;
        const char* trace;
        const char* games;
    } scripts[] = {
        {"an image on the command line is recorded once and timed", "run cmd=\"@s1.cue\" t t",
         "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"a launcher's other files; the last game image wins",
         "run cmd=-bios\\+\"@b.bin\"+\"@s1.iso\"+\"@s2.iso\"+@s1.iso+\"@c.mcd\" t", "SLUS-00002/0", "SLUS-00002 1"},
        {"relative to the emulator's folder", "run cwd=@ cmd=s1.iso+\\Jeux\\x.iso t", "SLUS-00001/0", "SLUS-00001 1"},
        {"relative, with no folder known: left", "run cmd=s1.iso t", "-", ""},
        {"forward slashes", "run cmd=\"%s1.cue\" t", "SLUS-00001/0", "SLUS-00001 1"},
        {"a device's name is never opened", "run cwd=@ cmd=COM3.cue+CON.iso t", "-", ""},
        {"an image opened in the emulator's menu, then another", "run t open=s1.iso t t open=s2.iso t t",
         "- SLUS-00001/0 SLUS-00001/1 SLUS-00002/0 SLUS-00002/1", "SLUS-00001 1|SLUS-00002 1"},
        {"what it holds open wins over its command line", "run cmd=\"@s1.iso\" open=s2.bin.ecm t t",
         "SLUS-00002/0 SLUS-00002/1", "SLUS-00002 1"},
        {"the command line's image held open is one play", "run cmd=\"@s1.cue\" open=s1.bin t t",
         "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"the command line's image no longer stands once another was held",
         "run cmd=\"@s1.iso\" t open=s2.iso t open= t t", "SLUS-00001/0 SLUS-00002/0 - -",
         "SLUS-00001 1|SLUS-00002 1"},
        {"the image closed ends the game; opened again, it counts again", "run open=s1.iso t t open= t open=s1.iso t",
         "SLUS-00001/0 SLUS-00001/1 - SLUS-00001/0", "SLUS-00001 2"},
        {"the emulator stopped and started again", "run cmd=\"@s1.iso\" t stop t run t",
         "SLUS-00001/0 - SLUS-00001/0", "SLUS-00001 2"},
        {"the emulator started again between two ticks", "run cmd=\"@s1.iso\" t restart t", "SLUS-00001/0 SLUS-00001/0",
         "SLUS-00001 2"},
        {"a mapped image", "run map=s2.iso t t", "SLUS-00002/0 SLUS-00002/1", "SLUS-00002 1"},
        {"the image played stays while it is held beside a newer one",
         "run hold=20:s1.iso t hold=8:s2.iso t drop=20 t", "SLUS-00001/0 SLUS-00001/1 SLUS-00002/0",
         "SLUS-00001 1|SLUS-00002 1"},
        {"of images held, the newest handle wins, wherever it is listed",
         "run hold=20:s1.iso t hold=30:s2.iso t drop=20 hold=8:s4.iso t",
         "SLUS-00001/0 SLUS-00001/1 SLUS-00004/0", "SLUS-00001 1|SLUS-00004 1"},
        {"of images first seen together, the last listed", "run hold=30:s2.iso hold=20:s1.iso t", "SLUS-00001/0",
         "SLUS-00001 1"},
        {"a read that failed is read again", "run open=s1.iso lock=s1.iso t t unlock=s1.iso t t",
         "- - SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"a read failing after the file opened is no answer: read again, not taken for no game",
         "run open=s1.iso unreadable=s1.iso t t readable t t", "- - SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"a prompt read (100 ms) is waited for: the game counts from the tick that asked",
         "readms=100 run cmd=\"@s1.cue\" t t", "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"a slow read (400 ms) is not waited for: its game is taken at the next tick",
         "readms=400 run cmd=\"@s1.cue\" t t", "- SLUS-00001/0", "SLUS-00001 1"},
        {"a handle that blocks gives up the tick, then is passed over while its worker is held",
         "run open=s1.iso block t t", "- SLUS-00001/0", "SLUS-00001 1"},
        {"a late answer, then a prompt one", "run late=s1.iso t answer t", "- SLUS-00001/0", "SLUS-00001 1"},
        {"the image played, its handle held up for looks on end: one play, timed throughout",
         "run open=s1.iso t hang t t t answer t", "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2 SLUS-00001/3 SLUS-00001/4",
         "SLUS-00001 1"},
        {"no worker free: nothing changes until one is", "run open=s1.iso jam t t t t t free t",
         "- - - - - SLUS-00001/0", "SLUS-00001 1"},
        {"a network that stopped answering holds up no tick", "run open=s1.iso stall t t t resume t",
         "- - - SLUS-00001/0", "SLUS-00001 1"},
        {"no image of a game", "run cmd=\"@s3.iso\" open=kavri.ini t", "-", ""},
        // An image held that names no game still ends the command line's standing.
        {"an image of no game held ends the command line's game, which does not come back",
         "run cmd=\"@s1.iso\" t open=s3.iso t open= t", "SLUS-00001/0 - -", "SLUS-00001 1"},
        {"so does a package whose disc is not read", "run cmd=\"@s1.iso\" t open=x.pbp t t", "SLUS-00001/0 - -",
         "SLUS-00001 1"},
        {"but not a subchannel file without its CloneCD sectors", "run cmd=\"@s1.cue\" t open=s1.sub t t",
         "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2", "SLUS-00001 1"},
        {"an image of no game is never played, though newest", "run hold=20:s1.iso t hold=30:s3.iso t",
         "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"nor though listed last among handles first seen together", "run hold=20:s1.iso hold=30:s3.iso t",
         "SLUS-00001/0", "SLUS-00001 1"},
        // A file rewritten at its path with another game, same size, later time.
        {"an image closed, rewritten and opened again: its new game, counted once",
         "run open=s1.iso t open= t done rewrite=s1.iso:s4.iso open=s1.iso t t", "SLUS-00001/0 - SLUS-00004/0 SLUS-00004/1",
         "SLUS-00001 1|SLUS-00004 1"},
        {"the image played, rewritten while held: its new game once a look has measured it",
         "run open=s1.iso t done rewrite=s1.iso:s4.iso t t t", "SLUS-00001/0 SLUS-00001/1 SLUS-00004/0 SLUS-00004/1",
         "SLUS-00001 1|SLUS-00004 1"},
        {"stopped, rewritten at its path, started again: the new game", "run cmd=\"@s1.iso\" t stop t done rewrite=s1.iso:s4.iso run t t",
         "SLUS-00001/0 - SLUS-00004/0 SLUS-00004/1", "SLUS-00001 1|SLUS-00004 1"},
        {"stopped, rewritten, started again, a slow read", "run cmd=\"@s1.iso\" t stop t done rewrite=s1.iso:s4.iso readms=400 run t t",
         "SLUS-00001/0 - - SLUS-00004/0", "SLUS-00001 1|SLUS-00004 1"},
        {"rewritten, started again between two ticks", "run cmd=\"@s1.iso\" t done rewrite=s1.iso:s4.iso restart t t",
         "SLUS-00001/0 SLUS-00004/0 SLUS-00004/1", "SLUS-00001 1|SLUS-00004 1"},
        // The firmware file a launcher passes ("-bios b.bin") is a ".bin" of no game: the emulator
        // keeping it open or mapped is no other disc put in.
        {"the firmware held open beside the command line's image", "run cmd=-bios\\+\"@b.bin\"+\"@s1.iso\" open=b.bin t t",
         "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"the firmware mapped beside the command line's image", "run cmd=-bios\\+\"@b.bin\"+\"@s1.iso\" map=b.bin t t",
         "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"the image played, reopened under a handle the look's time did not reach: the same play",
         "run hold=20:s1.iso t far=30:s1.iso drop=20 t near t", "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2",
         "SLUS-00001 1"},
        {"the image played cannot be measured for a moment: it keeps its game",
         "run open=s1.iso t done gone=s1.iso t back=s1.iso t", "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2", "SLUS-00001 1"},
        // A handle list that cannot be had says nothing of what is held.
        {"a list not had keeps the image played", "run open=s1.iso t nolist t t", "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2",
         "SLUS-00001 1"},
        {"a list not had at the first look: the command line does not stand for it", "run cmd=\"@s2.iso\" open=s1.iso nolist t t",
         "- SLUS-00001/0", "SLUS-00001 1"},
        // Where the list names no object, each handle keeps its age while it gives the same path.
        {"a list that names no objects: the newest wins, listed neither first nor last",
         "run anon=50:s4.iso t anon=10:s1.iso anon=30:s1.cue t anon=20:s2.iso t drop=50 t",
         "SLUS-00004/0 SLUS-00004/1 SLUS-00004/2 SLUS-00002/0", "SLUS-00004 1|SLUS-00002 1"},
        {"closed and a rewritten file opened at its path between two ticks: no minute for the old game",
         "run hold=20:s1.iso t t drop=20 done rewrite=s1.iso:s4.iso hold=21:s1.iso t t",
         "SLUS-00001/0 SLUS-00001/1 SLUS-00004/0 SLUS-00004/1", "SLUS-00001 1|SLUS-00004 1"},
        {"firmware the emulator holds from its own folder, not named on its command line",
         "run cmd=\"@s1.iso\" open=b.bin t t", "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"firmware the emulator maps from its own folder, not named on its command line",
         "run cmd=\"@s1.iso\" map=b.bin t t", "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"the image played reopened under a new handle whose worker is held up: the same play",
         "run hold=20:s1.iso t late=s1.iso drop=20 t t answer t", "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2 SLUS-00001/3",
         "SLUS-00001 1"},
        {"the image played closed while another handle is held up: its play ends two looks on",
         "run hold=20:s1.iso t block drop=20 t t t t t", "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2 SLUS-00001/3 - -",
         "SLUS-00001 1"},
        {"another game put in while an unrelated handle is held up: its minutes from the change on",
         "run hold=20:s1.iso t block t drop=20 hold=21:s2.iso t t t t",
         "SLUS-00001/0 SLUS-00001/1 SLUS-00002/0 SLUS-00002/1 SLUS-00002/2 SLUS-00002/3", "SLUS-00001 1|SLUS-00002 1"},
        {"another disc the emulator holds, locked by another program: no longer the command line's game",
         "run cmd=\"@s1.iso\" t lock=s3.iso open=s3.iso t t unlock=s3.iso t", "SLUS-00001/0 - - -", "SLUS-00001 1"},
        {"firmware named with forward slashes", "run cmd=-bios\\+\"%b.bin\"+\"@s1.iso\" open=b.bin t t",
         "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
        {"a launcher passing two discs: the first held is the game played",
         "run cmd=\"@s1.iso\"+\"@s2.iso\" open=s1.iso t t", "SLUS-00001/0 SLUS-00001/1", "SLUS-00001 1"},
    };
    for (const auto& script : scripts) {
        Harness h;
        PutImages(h);
        h.form.Form_Load();
        EXPECT_EQ(Script(h, script.events), script.trace) << script.what;
        EXPECT_EQ(Games(h), script.games) << script.what;
        // No tick waits long on a handle or an image: 30 seconds apart, they stay short.
        EXPECT_LE(h.os.kernel.longestBudgetMs + h.os.background.longestWaitMs, 600u) << script.what;
    }
}

TEST(ImageProbe, ChoiceOfThePlayedImage) {
    const struct {
        const char* what;
        const char* start;
        std::vector<std::vector<HeldImage>> looks;
        const char* played;  // after each look, joined by blanks ("-" for none)
    } rows[] = {
        {"the start stands while nothing is held", "A", {{}, {}}, "A A"},
        {"the start's own image held does not end it", "A", {{{"A", 1, ""}}, {}}, "A A"},
        {"another image held ends it for good", "A", {{{"B", 1, ""}}, {}, {}}, "B - -"},
        {"the one played is kept while held", "", {{{"A", 1, ""}}, {{"B", 2, ""}, {"A", 1, ""}}, {{"B", 2, ""}}}, "A A B"},
        {"the newest wherever it is listed", "", {{{"B", 3, ""}, {"A", 1, ""}, {"C", 2, ""}}}, "B"},
        {"ties go to the last listed", "", {{{"A", 1, ""}, {"B", 1, ""}}}, "B"},
        {"an image of no game held ends it for good", "A", {{{"", 1, ""}}, {}}, "- -"},
        {"an image of no game is never played", "", {{{"A", 1, ""}, {"", 2, ""}}}, "A"},
        {"another image held beside the start's played ends it too", "A", {{}, {{"A", 1, ""}, {"B", 2, ""}}, {}},
         "A A -"},
    };
    for (const auto& row : rows) {
        ImageChoice choice;
        choice.Start(row.start);
        std::string played;
        for (const auto& held : row.looks) {
            const std::string& game = choice.Choose(held);
            played += (played.empty() ? "" : " ") + (game.empty() ? std::string("-") : game);
        }
        EXPECT_EQ(played, row.played) << row.what;
    }
}

TEST(ImageProbe, WhatEachLookAsks) {
    const struct {
        const char* what;
        const char* events;
        const char* trace;
        int pathQueries, mappedWalks;
        std::size_t released = 0;  // times the emulator's process was let go
    } scripts[] = {
        // A value used again for another file is a new object: asked again, a new game. The
        // emulator's end releases what was kept open to look into it.
        {"handles are asked once while they stay open", "run hold=20:s1.iso hold=24:s3.iso t t t drop=20 hold=20:s2.iso t stop t",
         "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2 SLUS-00002/0 -", 3, 0, 1},
        {"a handle answered in a look that later timed out is not asked again", "run hold=20:s1.iso slow=30 t t",
         "- SLUS-00001/0", 2, 0},
        {"an image held names a game: its maps are not walked", "run open=s1.iso map=s2.iso t t t",
         "SLUS-00001/0 SLUS-00001/1 SLUS-00001/2", 3, 0},
        {"images held of no game: its maps walked once a tick, though the tick looks for games twice",
         "run open=s3.iso map=s2.iso t t t", "- SLUS-00002/0 SLUS-00002/1", 3, 3},
    };
    for (const auto& script : scripts) {
        Harness h;
        PutImages(h);
        h.form.Form_Load();
        EXPECT_EQ(Script(h, script.events), script.trace) << script.what;
        EXPECT_EQ(h.os.kernel.pathQueries, script.pathQueries) << script.what;
        EXPECT_EQ(h.os.kernel.mappedWalks, script.mappedWalks) << script.what;
        EXPECT_EQ(h.os.kernel.forgotten, std::vector<std::uint32_t>(script.released, kEmulatorId)) << script.what;
    }
}

TEST(ImageProbe, AnImageIsReadOnceUntilItChanges) {
    Harness h;
    h.os.files.Put(kImages + "s1.iso", IsoOf("SLUS_000.01"));
    h.form.Form_Load();
    Script(h, "run cmd=x open=s1.iso t");
    const int reads = h.os.files.rangesRead;
    EXPECT_EQ(Script(h, "t t"), "SLUS-00001/1 SLUS-00001/2");
    EXPECT_EQ(h.os.files.rangesRead, reads);  // read again once changed: the rows of images rewritten above
}

TEST(ImageProbe, AnImageDecidesOverADiscAndNoDriveEndsIt) {
    Harness h;
    h.os.files.Put(kImages + "s2.iso", IsoOf("SLUS_000.02"));
    h.GameDisc("D:");
    h.form.Form_Load();
    EXPECT_EQ(Script(h, "run t open=s2.iso t"), "SLUS-00594/1 SLUS-00002/0");
    h.os.multimedia.drives["D:"].status = "false";  // the disc taken out
    EXPECT_EQ(Script(h, "t"), "SLUS-00002/1");
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

TEST(ImageProbe, ImageArgumentsAsFullPaths) {
    const struct {
        const char* line;
        const char* folder;
        std::vector<std::string> paths;
    } rows[] = {
        {"k.exe C:/G/a.cue /fullscreen", "", {"C:\\G\\a.cue"}},
        {"k.exe a.cue ..\\b.iso sub/c.bin", "D:\\Emu\\", {"D:\\Emu\\a.cue", "D:\\Emu\\..\\b.iso", "D:\\Emu\\sub\\c.bin"}},
        {"k.exe \\G\\a.cue E:b.iso", "D:\\Emu\\", {"D:\\G\\a.cue"}},
        {"k.exe a.cue", "", {}},
        {"k.exe \\\\server\\share\\a.cue b.iso", "\\\\server\\share", {"\\\\server\\share\\a.cue", "\\\\server\\share\\b.iso"}},
        {"k.exe NUL.cue \"lpt1 .iso\" C:\\G\\aux\\a.cue", "D:\\", {}},
        {"k.exe PRN.cue CONOUT$.iso clock$.bin COM0.cue lpt0.iso COM1:.cue Prnt.cue com10.iso", "D:\\",
         {"D:\\Prnt.cue", "D:\\com10.iso"}},
        // The device namespace, and a server's pipes: refused by their form, never opened.
        {"k.exe \\\\?\\pipe\\x.cue \\\\.\\pipe\\y.cue \\\\?\\GLOBALROOT\\Device\\Serial0\\x.cue \\\\server\\pipe\\x.cue "
         "//./COM3/x.cue \\??\\C:\\G\\b.iso \\\\?\\C:\\G\\a.cue \\\\?\\UNC\\server\\share\\c.iso",
         "D:\\", {"\\\\?\\C:\\G\\a.cue", "\\\\?\\UNC\\server\\share\\c.iso"}},
    };
    for (const auto& row : rows) EXPECT_EQ(ImageArguments({row.line, row.folder}), row.paths) << row.line;
}

}  // namespace
}  // namespace kavri::test
