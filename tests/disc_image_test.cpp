// Disc images read as far as the game identifier: every sector layout and packing, cue sheets and
// lists, and images and lists that lie.
#include <gtest/gtest.h>

#include <set>

#include "discimage/disc_lists.h"
#include "discimage/identify.h"
#include "discimage/image_path.h"
#include "platform/fake/fake_platform.h"
#include "tests/disc_images.h"

namespace kavri::test {
namespace {

const std::string kFolder = "C:\\Games\\Crystal Qu\xC3\xA9st & Bob's";  // "é" in UTF-8

// The game's image with the root directory over two sectors, the first ending in a long run of
// zeros after its first record, "SYSTEM.CNF" in the second.
std::string PaddedDirectory() {
    std::string image = Iso({{"SYSTEM.CNF;1", kBootFile}}, 50);
    const std::size_t first = kRootLba * kSector, record = static_cast<unsigned char>(image[first]);
    image.replace(first + record, kSector - record, kSector - record, '\0');
    return image;
}

// The game's raw mode 2 image packed with its first sectors as mode 2 form 2 (2,324 bytes of data).
std::string EcmWithForm2() {
    const std::string raw = Raw(GameIso(), kRawSector, 2);
    std::string packed("ECM\0", 4);
    for (std::size_t s = 0; s < raw.size() / kRawSector; ++s) {
        const std::string sector = raw.substr(s * kRawSector, kRawSector);
        packed += EcmRun(0, 16) + sector.substr(0, 16);
        packed += s < 4 ? EcmRun(3, 1) + sector.substr(16, 4) + sector.substr(24, 2324)
                        : EcmRun(2, 1) + sector.substr(16, 4) + sector.substr(24, kSector);
    }
    return packed + std::string("\xFC\xFF\xFF\xFF\x3F", 5) + std::string(4, '\0');
}

TEST(DiscImage, EachLayoutListAndLie) {
    const std::string iso = GameIso();
    std::string lying = iso;
    Put32(lying, kRootLba * kSector + DirRecord("README.TXT;1", 0, 0).size() + 2, 9000);  // past the end
    const std::string pregap(150 * kRawSector, '\0');
    // An audio track of 4 sectors before the data; 65 sessions; blocks past the descriptor's end.
    const std::string afterAudio = Mds({{0xA9, 2352, 0}, {0xAA, 2352, 4 * kRawSector}}), mixed = pregap.substr(0, 4 * kRawSector) + Raw(iso, 2352, 1);
    std::string sessions = Mds({{0xAA, 2048, 0}}), past = sessions;
    Put32(sessions, 0x50, static_cast<std::uint32_t>(sessions.size())), sessions[0x14] = 65;
    sessions += sessions.substr(0x58, 0x18) + std::string(64 * 0x18, '\0');
    Put32(past, 0x58 + 0x14, static_cast<std::uint32_t>(past.size() - 0x50));
    // Another game's sectors first, where a data track read from the file's start would be found.
    const std::string other = Iso({{"SYSTEM.CNF;1", "BOOT=cdrom:\\SLUS_005.95;1"}}), raw = Raw(iso, 2352, 2);
    const std::string audio = Raw(other, 2352, 1), img = audio + std::string(2 * kRawSector, '\0') + raw;
    const auto start = static_cast<std::uint32_t>(audio.size() / kRawSector) + 2;
    const std::string ccd = CcdText(start);
    std::string crlf;  // lower-case keys, blanks around "=", CR LF
    for (const char c : ccd) crlf += c == '\n' ? "\r\n" : c == '=' ? " = " : std::string(1, static_cast<char>(std::tolower(c)));
    std::string pastEnd = Nrg(audio, raw, 2352, "DAOX");
    std::string lyingTable = pastEnd, noFooter = Nrg(other, iso, 2048, "DAOI");
    pastEnd.replace(pastEnd.size() - 8, 8, Be(std::uint64_t{1} << 40, 8));
    lyingTable.replace(img.size() + 16, 4, Be(1u << 30, 4));
    noFooter[noFooter.size() - 8] = 'X';  // "XERO"
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;  // name in the folder, bytes
        std::string opened;
        std::string id;
    } rows[] = {
        {"2048-byte sectors", {{"game.iso", iso}}, "game.iso", "SLUS-00594"},
        {"raw mode 1", {{"game.bin", Raw(iso, 2352, 1)}}, "game.bin", "SLUS-00594"},
        {"raw mode 2 form 1", {{"game.img", Raw(iso, 2352, 2)}}, "game.img", "SLUS-00594"},
        {"2336-byte sectors", {{"game.bin", Raw(iso, 2336, 2)}}, "game.bin", "SLUS-00594"},
        {"raw with subchannel", {{"game.bin", Raw(iso, 2448, 2)}}, "game.bin", "SLUS-00594"},
        {"packed mode 1", {{"game.bin.ecm", Ecm(Raw(iso, 2352, 1), 1)}}, "game.bin.ecm", "SLUS-00594"},
        {"packed mode 2", {{"game.ecm", Ecm(Raw(iso, 2352, 2), 2)}}, "game.ecm", "SLUS-00594"},
        {"a name in lower case", {{"g.iso", Iso({{"system.cnf", kBootFile}})}}, "g.iso", "SLUS-00594"},
        {"a directory over two sectors", {{"g.iso", Iso({{"SYSTEM.CNF;1", kBootFile}}, 60)}}, "g.iso", "SLUS-00594"},
        {"an empty boot file", {{"g.iso", Iso({{"SYSTEM.CNF;1", ""}})}}, "g.iso", ""},
        {"no boot file", {{"g.iso", Iso({{"README.TXT;1", "x"}})}}, "g.iso", ""},
        {"cut short in the boot file", {{"g.iso", iso.substr(0, iso.size() - kSector / 2)}}, "g.iso", ""},
        {"a record that lies", {{"g.iso", lying}}, "g.iso", ""},
        {"a packing cut short", {{"g.ecm", Ecm(Raw(iso, 2352, 1), 1).substr(0, 20 * kRawSector)}}, "g.ecm", ""},
        {"no image at all", {{"g.bin", std::string(40000, 'x')}}, "g.bin", ""},
        {"not an image's name", {{"g.txt", iso}}, "g.txt", ""},
        {"a cue sheet", {{"g.cue", "FILE \"Game (Track 1).bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n"},
                         {"Game (Track 1).bin", Raw(iso, 2352, 2)}}, "g.cue", "SLUS-00594"},
        {"one file a track, the data second, after a pregap",
         {{"g.cue", "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE \"d.bin\" BINARY\n"
                    "TRACK 02 MODE1/2352\nINDEX 00 00:00:00\nINDEX 01 00:02:00\nFILE c.bin BINARY\n"},
          {"a.bin", std::string(kRawSector * 4, '\0')}, {"d.bin", pregap + Raw(iso, 2352, 1)}},
         "g.cue", "SLUS-00594"},
        {"a cue sheet's name in the code page", {{"g.cue", "FILE \"Qu\xE9st.bin\" BINARY\nTRACK 1 MODE1/2048\nINDEX 1 0:0:0\n"},
                                                 {"Qu\xC3\xA9st.bin", iso}}, "g.cue", "SLUS-00594"},
        {"a cue sheet leaving its folder", {{"g.cue", "FILE \"..\\g.bin\" BINARY\nTRACK 1 MODE1/2048\nINDEX 1 0:0:0\n"}},
         "g.cue", ""},
        {"a cue sheet naming a drive", {{"g.cue", "FILE \"C:\\g.bin\" BINARY\nTRACK 1 MODE1/2048\nINDEX 1 0:0:0\n"}},
         "g.cue", ""},
        {"an MDS, its data track first", {{"g.mds", Mds({{0xAB, 2352, 0}})}, {"g.mdf", Raw(iso, 2352, 2)}}, "g.mds", "SLUS-00594"},
        {"an MDS naming its image", {{"g.mds", Mds({{0xAA, 2048, 0}}, "Qu\xC3\xA9st.iso")}, {"Qu\xC3\xA9st.iso", iso}}, "g.mds", "SLUS-00594"},
        {"an MDS with subchannels", {{"g.mds", Mds({{0xEC, 2448, 0}})}, {"g.mdf", Raw(iso, 2448, 2)}}, "g.mds", "SLUS-00594"},
        {"an MDS, its data track second", {{"g.mds", afterAudio}, {"g.mdf", mixed}}, "g.mds", "SLUS-00594"},
        {"an MDF beside its MDS", {{"G.MDS", afterAudio}, {"g.mdf", mixed}}, "g.mdf", "SLUS-00594"},
        {"an MDF alone", {{"g.mdf", Raw(iso, 2352, 1)}}, "g.mdf", "SLUS-00594"},
        {"an MDS without its signature", {{"g.mds", "X" + Mds({{0xAA, 2048, 0}}).substr(1)}, {"g.mdf", iso}}, "g.mds", ""},
        {"an MDS of 2336-byte sectors", {{"g.mds", Mds({{0xAB, 2336, 0}})}, {"g.mdf", Raw(iso, 2336, 2)}}, "g.mds", ""},
        {"an MDS of 65 sessions", {{"g.mds", sessions}, {"g.mdf", iso}}, "g.mds", ""},
        {"an MDS whose blocks lie past its end", {{"g.mds", past}, {"g.mdf", iso}}, "g.mds", ""},
        {"a list of discs", {{"g.m3u", "\xEF\xBB\xBF# Crystal Quest\r\n\r\nd1.iso\r\nd2.iso\r\n"},
                             {"d1.iso", iso}, {"d2.iso", Iso({{"SYSTEM.CNF;1", "BOOT=cdrom:\\SLUS_005.95;1"}})}},
         "g.m3u", "SLUS-00594"},
        {"a list naming a list", {{"g.m3u", "g.m3u\n"}}, "g.m3u", ""},
        {"a list leaving its folder", {{"g.m3u", "\\\\server\\share\\d1.iso\n"}}, "g.m3u", ""},
        {"an ISO named as a CHD: no CHD header", {{"g.chd", iso}}, "g.chd", ""},
        {"an unquoted name with a blank", {{"g.cue", "FILE My Game.bin BINARY\nTRACK 01 MODE1/2048\nINDEX 01 00:00:00\n"},
                                            {"My Game.bin", iso}}, "g.cue", "SLUS-00594"},
        {"a directory sector ending in padding", {{"g.iso", PaddedDirectory()}}, "g.iso", "SLUS-00594"},
        {"packed mode 2 form 2 sectors ahead", {{"g.ecm", EcmWithForm2()}}, "g.ecm", "SLUS-00594"},
        // A device's name is refused before anything is opened: the files here would read.
        {"a list naming a device", {{"g.m3u", "COM3.cue\n"}, {"COM3.cue", "FILE g.iso BINARY\nTRACK 1 MODE1/2048\nINDEX 1 0:0:0\n"},
                                    {"g.iso", iso}}, "g.m3u", ""},
        {"a cue sheet naming a device", {{"g.cue", "FILE \"COM1\" BINARY\nTRACK 1 MODE1/2048\nINDEX 1 0:0:0\n"}, {"COM1", iso}},
         "g.cue", ""},
        {"a list naming the console", {{"g.m3u", "CONIN$\n"}, {"CONIN$", iso}}, "g.m3u", ""},
        {"a CloneCD descriptor, the data second", {{"Q.ccd", ccd}, {"Q.img", img}, {"Q.sub", ""}}, "Q.ccd", "SLUS-00594"},
        {"its sectors", {{"Q.ccd", ccd}, {"Q.img", img}}, "Q.img", "SLUS-00594"},
        {"its subchannel", {{"Q.ccd", ccd}, {"Q.img", img}, {"Q.sub", ""}}, "Q.SUB", "SLUS-00594"},
        {"a subchannel without descriptor", {{"Q.img", raw}, {"Q.sub", ""}}, "Q.sub", "SLUS-00594"},
        {"sectors beside a descriptor naming no data track", {{"Q.ccd", "[CloneCD]\n"}, {"Q.img", raw}}, "Q.img", "SLUS-00594"},
        {"a descriptor of entries only", {{"Q.ccd", CcdText(start, true, false)}, {"Q.img", img}}, "Q.ccd", "SLUS-00594"},
        {"a descriptor of tracks only", {{"Q.ccd", CcdText(start, false, true)}, {"Q.img", img}}, "Q.ccd", "SLUS-00594"},
        {"a descriptor in lower case and CR LF", {{"Q.ccd", crlf}, {"Q.img", img}}, "Q.ccd", "SLUS-00594"},
        {"Nero, 64-bit, disc at once", {{"g.nrg", Nrg(audio, raw, 2352, "DAOX")}}, "g.nrg", "SLUS-00594"},
        {"Nero, 32-bit, disc at once", {{"g.nrg", Nrg(other, iso, 2048, "DAOI")}}, "g.NRG", "SLUS-00594"},
        {"Nero, 64-bit, track at once", {{"g.nrg", Nrg(other, iso, 2048, "ETN2")}}, "g.nrg", "SLUS-00594"},
        {"Nero, 32-bit, track at once", {{"g.nrg", Nrg(audio, raw, 2352, "ETNF")}}, "g.nrg", "SLUS-00594"},
        {"Nero, its chunks past the end", {{"g.nrg", pastEnd}}, "g.nrg", ""},
        {"Nero, a table's size past the end", {{"g.nrg", lyingTable}}, "g.nrg", ""},
        {"Nero without footer", {{"g.nrg", noFooter}}, "g.nrg", ""},
    };
    for (const auto& row : rows) {
        fake::CallLog log;
        fake::FakeFileSystem files(log);
        fake::FakeCodePage codePage;
        for (const auto& [name, bytes] : row.files) files.Put(kFolder + "\\" + name, bytes);
        EXPECT_EQ(IdentifyImage(files, codePage, kFolder + "\\" + row.opened).id, row.id) << row.what;
    }
}

TEST(DiscImage, ListNamesStayInTheirFolderAndNameDiskFiles) {
    const struct {
        std::string name;
        const char* path;  // empty when refused
    } rows[] = {
        {"d.bin", "C:\\g\\d.bin"},     {"sub/d.bin", "C:\\g\\sub\\d.bin"}, {"..\\d.bin", ""},
        {"sub\\..\\..\\d.bin", ""},    {"\\d.bin", ""},                    {"\\\\server\\d.bin", ""},
        {"D:d.bin", ""},               {"d.bin:stream", ""},               {". .\\d.bin", ""},
        {"", ""},
        {"COM3.cue", ""},              {"con", ""},                        {"AUX.bin", ""},
        {"CONIN$", ""},                {"sub\\lpt1 .iso", ""},             {"nul\\d.bin", ""},
        {"COM\xC2\xB9.bin", ""},         {std::string("COM3\0.cue", 9), ""},  {"d\tx.bin", ""},
        {"COM10.cue", "C:\\g\\COM10.cue"}, {"console.iso", "C:\\g\\console.iso"}, {"com1x.bin", "C:\\g\\com1x.bin"},
    };
    for (const auto& row : rows) EXPECT_EQ(BesideList("C:\\g\\g.cue", row.name).value_or(""), row.path) << row.name;
}

// Each file is opened once and read through few reads: a packing of one-byte runs (the form a
// crafted file takes to cost a read per byte), and a boot file's record claiming 100 MB.
TEST(DiscImage, ReadsAreFewAndBounded) {
    const std::string raw = Raw(GameIso(), kRawSector, 1);
    std::string bytewise("ECM\0", 4);
    for (const char c : raw) bytewise += EcmRun(0, 1) + c;
    bytewise += std::string("\xFC\xFF\xFF\xFF\x3F", 5) + std::string(4, '\0');
    std::string claiming = GameIso() + std::string(80 * 1024, '\0');
    Put32(claiming, kRootLba * kSector + DirRecord("README.TXT;1", 0, 0).size() + 10, 100u << 20);
    const struct {
        const char* what;
        std::string name, bytes;
        int reads;
        std::uint64_t bytesRead;
    } rows[] = {
        {"raw sectors", "g.bin", raw, 8, 40000},
        {"packed", "g.ecm", Ecm(raw, 1), 8, 200000},
        {"packed a byte a run", "g.ecm", bytewise, 8, 200000},
        {"a package of two blocks, the second stored", "g.pbp", Pbp({PbpDisc(raw, {1})}, {}), 8, 40000},
        {"a boot file's record claiming 100 MB", "g.iso", claiming, 48, 72 * 1024},
    };
    for (const auto& row : rows) {
        fake::CallLog log;
        fake::FakeFileSystem files(log);
        fake::FakeCodePage codePage;
        files.Put(kFolder + "\\" + row.name, row.bytes);
        const ImageRead read = IdentifyImage(files, codePage, kFolder + "\\" + row.name);
        EXPECT_EQ(read.id, "SLUS-00594") << row.what;
        EXPECT_TRUE(read.finished) << row.what;
        EXPECT_EQ(files.opens, 1) << row.what;
        EXPECT_LE(files.rangesRead, row.reads) << row.what;
        EXPECT_LE(files.bytesRead, row.bytesRead) << row.what;
    }
}

// A read that failed is to be read again; one read to the end that found no game stands.
TEST(DiscImage, AReadThatFailedIsNotFinished) {
    const struct {
        const char* what;
        std::string opened, bin;
        std::set<std::string> fake::FakeFileSystem::*refused;  // the ".bin" held by another program, or failing its reads
        const char* read;
        int opens;  // each file once
    } rows[] = {
        {"the image held by another program", "g.cue", GameIso(), &fake::FakeFileSystem::locked, " unfinished disc", 1},
        {"its reads failing once it opened (a share gone)", "g.cue", GameIso(), &fake::FakeFileSystem::unreadable, " unfinished disc", 2},
        {"read", "g.cue", GameIso(), nullptr, "SLUS-00594 disc", 2},
        {"read to the end: no game", "g.cue", std::string(40000, 'x'), nullptr, " disc", 2},
        {"an MDS, its MDF missing", "g.mds", GameIso(), nullptr, " unfinished disc", 1},
        {"a CloneCD descriptor, its IMG missing", "g.ccd", GameIso(), nullptr, " unfinished disc", 1},
    };
    for (const auto& row : rows) {
        fake::CallLog log;
        fake::FakeFileSystem files(log);
        fake::FakeCodePage codePage;
        files.Put(kFolder + "\\g.cue", "FILE \"g.bin\" BINARY\nTRACK 1 MODE1/2048\nINDEX 1 0:0:0\n");
        files.Put(kFolder + "\\g.mds", Mds({{0xAA, 2048, 0}}));
        files.Put(kFolder + "\\g.ccd", CcdText(4));
        files.Put(kFolder + "\\g.bin", row.bin);
        if (row.refused) (files.*row.refused).insert(kFolder + "\\g.bin");
        const ImageRead read = IdentifyImage(files, codePage, kFolder + "\\" + row.opened);
        EXPECT_EQ(read.id + (read.finished ? "" : " unfinished") + (read.disc ? " disc" : ""), row.read) << row.what;
        EXPECT_EQ(files.opens, row.opens) << row.what;
    }
}

// Paths that reach a device or a pipe by their form are refused before anything is opened: the
// device and object namespaces, "\\?\" other than a drive's or a share's path, a server's pipes
// and mailslots, and devices' names in any part (COM0 and LPT0 as Windows lists them reserved,
// with the superscript digits); the nearest names that are not reserved pass.
TEST(DiscImage, PathsThatNameNoDiskFileByTheirForm) {
    const struct {
        std::string path;
        bool disk;
    } rows[] = {
        {"C:\\Games\\x.cue", true}, {"\\\\server\\share\\x.cue", true}, {"\\\\?\\C:\\Games\\x.cue", true},
        {"//?/c:/Games/x.cue", true}, {"\\\\?\\UNC\\server\\share\\x.cue", true}, {"\\\\server\\pipes\\x.cue", true},
        {"\\\\server\\pipe.d\\x.cue", true}, {"\\\\server\\share\\pipe\\x.cue", true}, {"C:\\pipe\\x.cue", true},
        // The device namespace, the object namespace and other "\\?\" forms.
        {"\\\\?\\pipe\\x.cue", false}, {"\\\\.\\pipe\\x.cue", false}, {"//./pipe/x.cue", false},
        {"\\\\?\\GLOBALROOT\\Device\\Serial0\\x.cue", false}, {"\\\\.\\C:\\Games\\x.cue", false},
        {"\\\\.\\COM3", false}, {"\\??\\C:\\Games\\x.cue", false}, {"/??/C:/Games/x.cue", false},
        {"\\\\?\\Volume{0123}\\x.cue", false}, {"\\\\?\\C:x.cue", false}, {"\\\\?", false}, {"\\\\.", false},
        // A server's pipes and mailslots, and network paths without a server or a share.
        {"\\\\server\\pipe\\x.cue", false}, {"\\\\localhost\\PIPE\\x.cue", false},
        {"\\\\server\\pipe \\x.cue", false}, {"//server/pipe/x.cue", false}, {"\\\\server\\MailSlot\\x.cue", false},
        {"\\\\?\\UNC\\server\\pipe\\x.cue", false}, {"\\\\?\\unc\\server\\mailslot\\x.cue", false},
        {"\\\\server", false}, {"\\\\\\share\\x.cue", false},
        // Devices' names, with or without extension or folder, in any letter case.
        {"PRN", false}, {"prn.cue", false}, {"C:\\G\\Prn.Cue", false}, {"CONOUT$", false},
        {"C:\\G\\conout$.iso", false}, {"CLOCK$.bin", false}, {"clock$", false}, {"COM0", false},
        {"C:\\G\\com0.cue", false}, {"LPT0.iso", false}, {"C:\\lpt0\\x.iso", false}, {"COM1:", false},
        {"C:\\G\\CON .cue", false}, {"COM\xC2\xB9.bin", false}, {"lpt\xC2\xB3.iso", false},
        // The nearest names that are no device's.
        {"C:\\G\\Prnt.cue", true}, {"C:\\G\\PRN_.cue", true}, {"C:\\G\\com10.iso", true}, {"C:\\G\\LPT10.bin", true},
        {"C:\\G\\COM.cue", true}, {"C:\\G\\COMA.cue", true}, {"C:\\G\\com0x\\a.iso", true},
        {"C:\\G\\CONOUT.iso", true}, {"C:\\G\\CLOCK.bin", true}, {"C:\\G\\NULL.iso", true}, {"C:\\G\\AUXX.bin", true},
        {"C:\\G\\COM\xE2\x81\xB4.bin", true}, {"C:\\G\\x.com1", true},  // superscript four is not reserved
    };
    for (const auto& row : rows) EXPECT_EQ(NamesDiskFile(row.path), row.disk) << row.path;
    // The fake backend refuses them as Windows's does, before anything is opened or measured.
    fake::CallLog log;
    fake::FakeFileSystem files(log);
    fake::FakeCodePage codePage;
    for (const auto& row : rows) {
        files.Put(row.path, GameIso());
        EXPECT_EQ(files.Stamp(row.path).has_value(), row.disk) << row.path;
        EXPECT_EQ(files.OpenDiskFile(row.path) != nullptr, row.disk) << row.path;
        const int opens = files.opens;
        const ImageRead read = IdentifyImage(files, codePage, row.path);
        EXPECT_EQ(files.opens - opens, row.disk && KindOf(row.path) != ImageKind::None ? 1 : 0) << row.path;
        if (!row.disk) EXPECT_EQ(read.id, "") << row.path;
    }
}

// However a file answers, one identification reads it kImageReadLimit times at most, and the
// limit reached is content that lies (finished, no game), not a failure: here a file made on
// demand without end, whose every read answers four bytes of a packing of one-byte runs.
TEST(DiscImage, ReadsStopAtTheLimitWhateverTheFileAnswers) {
    fake::CallLog log;
    fake::FakeFileSystem files(log);
    fake::FakeCodePage codePage;
    int made = 0;
    files.Make(kFolder + "\\endless.ecm", std::uint64_t{1} << 40,
               [&](std::uint64_t offset, std::size_t length) -> std::optional<std::string> {
                   if (++made > 3 * kImageReadLimit) return std::nullopt;  // so that a test without the limit ends
                   std::string bytes;
                   for (std::uint64_t at = offset; at < offset + std::min<std::size_t>(length, 4); ++at)
                       bytes += at < 4 ? "ECM"[at] : (at - 4) % 2 == 0 ? '\0' : 'x';
                   return bytes;
               });
    const ImageRead read = IdentifyImage(files, codePage, kFolder + "\\endless.ecm");
    EXPECT_EQ(files.rangesRead, kImageReadLimit);
    EXPECT_TRUE(read.finished);
    EXPECT_EQ(read.id, "");
}

}  // namespace
}  // namespace kavri::test
