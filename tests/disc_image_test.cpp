// Disc images read as far as the game identifier: every sector layout and packing, cue sheets and
// lists, and images and lists that lie.
#include <gtest/gtest.h>

#include "discimage/disc_lists.h"
#include "discimage/identify.h"
#include "discimage/image_path.h"
#include "platform/fake/fake_platform.h"
#include "tests/disc_images.h"

namespace kavri::test {
namespace {

const std::string kFolder = "C:\\Games\\Crystal Qu\xC3\xA9st & Bob's";  // "é" in UTF-8

TEST(DiscImage, EachLayoutListAndLie) {
    const std::string iso = GameIso();
    std::string lying = iso;
    Put32(lying, kRootLba * kSector + DirRecord("README.TXT;1", 0, 0).size() + 2, 9000);  // past the end
    const std::string pregap(150 * kRawSector, '\0');
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
        {"a list of discs", {{"g.m3u", "\xEF\xBB\xBF# Crystal Quest\r\n\r\nd1.iso\r\nd2.iso\r\n"},
                             {"d1.iso", iso}, {"d2.iso", Iso({{"SYSTEM.CNF;1", "BOOT=cdrom:\\SLUS_005.95;1"}})}},
         "g.m3u", "SLUS-00594"},
        {"a list naming a list", {{"g.m3u", "g.m3u\n"}}, "g.m3u", ""},
        {"a list leaving its folder", {{"g.m3u", "\\\\server\\share\\d1.iso\n"}}, "g.m3u", ""},
        {"a compressed image, not read", {{"g.chd", iso}}, "g.chd", ""},
    };
    for (const auto& row : rows) {
        fake::CallLog log;
        fake::FakeFileSystem files(log);
        fake::FakeCodePage codePage;
        for (const auto& [name, bytes] : row.files) files.Put(kFolder + "\\" + name, bytes);
        EXPECT_EQ(IdentifyImage(files, codePage, kFolder + "\\" + row.opened).id, row.id) << row.what;
    }
}

TEST(DiscImage, ListNamesStayInTheirFolder) {
    const struct {
        const char* name;
        const char* path;  // empty when refused
    } rows[] = {
        {"d.bin", "C:\\g\\d.bin"},     {"sub/d.bin", "C:\\g\\sub\\d.bin"}, {"..\\d.bin", ""},
        {"sub\\..\\..\\d.bin", ""},    {"\\d.bin", ""},                    {"\\\\server\\d.bin", ""},
        {"D:d.bin", ""},               {"d.bin:stream", ""},               {". .\\d.bin", ""},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(BesideList("C:\\g\\g.cue", row.name).value_or(""), row.path) << row.name;
}

}  // namespace
}  // namespace kavri::test
