#include <sstream>

#include "tests/harness.h"

namespace kavri::test {
namespace {

// A window with CD-ROM drives at the given letters, started.
void Drives(Harness& h, std::initializer_list<char> letters) {
    for (char c : letters) h.os.kernel.driveTypes[c] = 5;
    h.form.Form_Load();
    h.os.log.clear();
    h.os.multimedia.commands.clear();
}

// Runs events and answers what each probe pass left, as "current games line/game minutes".
// Events: "D+" a game disc goes into D:, "D0" a disc without a boot file, "D-" the disc comes
// out, "D=text" the media query answers text, "D!" the media query fails, "D@" the drive arrives
// and "D~" it leaves as Windows announces it, "p" a probe pass
// (the game's minutes are 5 before it, so a 0 after it tells that the pass reset them).
std::string Script(Harness& h, const std::string& events) {
    std::istringstream in(events);
    std::string event, trace;
    while (in >> event) {
        if (event == "p") {
            h.form.gameMinutes = 5;
            h.form.ProbeDiscs();
            trace += (trace.empty() ? "" : " ") + std::to_string(h.form.currentIndex) + "/" +
                     std::to_string(h.form.gameMinutes);
            continue;
        }
        const std::string drive = event.substr(0, 1) + ":";
        if (event[1] == '@' || event[1] == '~') {
            if (event[1] == '@') h.os.kernel.driveTypes[event[0]] = 5;
            else h.os.kernel.driveTypes.erase(event[0]);
            h.form.RescanDrives();
            continue;
        }
        auto& script = h.os.multimedia.drives[drive];
        if (event[1] == '+') h.GameDisc(drive);
        if (event[1] == '0') h.os.files.Put(drive + "\\system.cnf", ""), script.status = "true";
        if (event[1] == '-') script.status = "false";
        if (event[1] == '=') script.status = event.substr(2);
        script.statusFails = event[1] == '!';
    }
    return trace;
}

TEST(DiscProbe, WhatEachPassLeaves) {
    const struct {
        const char* what;
        std::initializer_list<char> drives;
        const char* events;
        const char* trace;
        const char* games;  // the games list's only line, up to the date; empty for none
        int bootFileLooks;
    } scripts[] = {
        {"a disc that stays is recorded once, and again after it was out", {'D'}, "D+ p p p D- p D+ p",
         "0/0 0/5 0/5 -1/0 0/0", "SLUS-00594\t2 \t", 2},
        {"a disc without a boot file is seen and not looked at again", {'D'}, "D0 p D+ p", "-1/5 -1/5", "", 1},
        {"the pass ends at the first drive holding a medium", {'D', 'F'}, "F=true D+ p", "-1/5", "", 0},
        {"a reply that does not convert keeps the drive's last answer; a failed query is no answer", {'D'},
         "D+ p D= p D=maybe p D=FALSE p D=TRUE p D=0 p D=TRUE p D- p D! p",
         "0/0 0/5 0/5 -1/0 0/0 -1/0 0/0 -1/0 -1/0", "SLUS-00594\t3 \t", 3},
        {"a disc in a later drive is recorded once while an earlier one is empty", {'D', 'F'}, "D+ p p p",
         "0/0 0/5 0/5", "SLUS-00594\t1 \t", 1},
        {"the game ends only when its own drive is empty", {'D', 'F'}, "D+ p F=true p F=false p D- p",
         "0/0 0/5 0/5 -1/0", "SLUS-00594\t1 \t", 1},
        {"a drive arriving after start is probed first; one that stays keeps its disc's state", {'D'},
         "D+ p F@ F+ p p", "0/0 0/0 0/5", "SLUS-00594\t2 \t", 1},
        {"the game's drive leaving ends the game", {'D', 'F'}, "D+ p D~ p", "0/0 -1/0", "SLUS-00594\t1 \t", 1},
        {"an empty drive arriving or leaving: the game goes on, counted once", {'D', 'F'}, "D+ p G@ p F~ p p",
         "0/0 0/5 0/5 0/5", "SLUS-00594\t1 \t", 1},
    };
    for (const auto& s : scripts) {
        Harness h;
        Drives(h, s.drives);
        EXPECT_EQ(Script(h, s.events), s.trace) << s.what;
        EXPECT_EQ(h.form.lstGames.Count() == 0 ? "" : h.form.lstGames.Line(0).substr(0, 14), s.games) << s.what;
        EXPECT_LE(h.form.lstGames.Count(), 1) << s.what;
        EXPECT_EQ(Count(h.os.log, "FileLen D:\\system.cnf"), s.bootFileLooks) << s.what;
        EXPECT_FALSE(h.os.multimedia.aliasMisused) << s.what;
    }
}

TEST(DiscProbe, CommandsPerDriveOneDeviceAtATimeAndNoneWithoutDrives) {
    Harness h;
    Drives(h, {'D', 'F'});
    h.form.ProbeDiscs();
    EXPECT_EQ(h.os.multimedia.commands,
              (std::vector<std::string>{"open F: Type cdaudio Alias cdtly wait", "status cdtly media present wait",
                                        "close cdtly", "open D: Type cdaudio Alias cdtly wait",
                                        "status cdtly media present wait", "close cdtly"}));
    EXPECT_FALSE(h.os.multimedia.badReplyLength);

    Harness none;
    Drives(none, {});
    none.form.currentEntry = "kept";
    none.form.ProbeDiscs();
    EXPECT_TRUE(none.os.multimedia.commands.empty());
    EXPECT_EQ(none.form.currentEntry, "kept");
}

}  // namespace
}  // namespace kavri::test
