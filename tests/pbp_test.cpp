// Packages of the handheld's PlayStation player (".pbp"): the first disc read as far as the game
// identifier through blocks deflated or stored, damaged packages, and the title they carry.
#include <gtest/gtest.h>

#include "discimage/identify.h"
#include "discimage/pbp.h"
#include "platform/fake/fake_platform.h"
#include "tests/disc_images.h"

namespace kavri::test {
namespace {

// The game's raw image with "SYSTEM.CNF" in its third block (sector 33), after twelve files.
std::string FarRaw(const std::string& boot = kBootFile) {
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < 12; ++i) files.push_back({"F" + std::to_string(i) + ".DAT;1", "x"});
    files.push_back({"SYSTEM.CNF;1", boot});
    return Raw(Iso(files), kRawSector, 2);
}

// The package with the block's index entry changed: its offset (u32) and length (u16).
std::string Patched(std::string pbp, std::size_t block, std::size_t at, std::uint32_t value) {
    const std::size_t psar = static_cast<unsigned char>(pbp[36]) | static_cast<unsigned char>(pbp[37]) << 8;
    const std::size_t entry = psar + 0x4000 + 32 * block + at;
    if (at == 0) Put32(pbp, entry, value);
    else pbp[entry] = static_cast<char>(value), pbp[entry + 1] = static_cast<char>(value >> 8);
    return pbp;
}

TEST(Pbp, FirstDiscThroughEachBlockAndLies) {
    const std::string sfo = Sfo({{"DISC_ID", "SLUS00594"}, {"TITLE", "Crystal Quest"}});
    const std::string one = Pbp({PbpDisc(FarRaw(), {})}, sfo);
    const std::size_t end = one.size() - 40 - sfo.size() - 100 - 0x100000;  // the blocks' bytes
    std::string backwards = one;
    Put32(backwards, 12, 30);  // ICON0.PNG before PARAM.SFO
    const struct {
        const char* what;
        std::string pbp;
        std::string id;
        bool disc;
    } rows[] = {
        {"every block deflated", one, "SLUS-00594", true},
        {"the descriptor's block stored, the boot file's deflated", Pbp({PbpDisc(FarRaw(), {1})}, sfo), "SLUS-00594", true},
        {"the boot file's block stored", Pbp({PbpDisc(FarRaw(), {0, 2})}, sfo), "SLUS-00594", true},
        {"the first of two discs, which lies last in the file",
         Pbp({PbpDisc(FarRaw(), {}), PbpDisc(FarRaw("BOOT=cdrom:\\SLUS_005.95;1"), {})}, sfo), "SLUS-00594", true},
        {"a block's offset past the end", Patched(one, 2, 0, static_cast<std::uint32_t>(end)), "", true},
        {"a block's length over a block", Patched(one + std::string(70000, '\0'), 1, 4, 0xFFFF), "", true},
        {"a block that inflates to less than 16 sectors", Patched(one, 2, 4, 40), "", true},
        {"cut short in its blocks", one.substr(0, one.size() - 100), "", true},
        {"a DATA.PSAR of neither kind", Pbp({}, sfo), "", true},
        {"offsets out of order", backwards, "", false},
        {"an image that is no package", Raw(GameIso(), kRawSector, 2), "", false},
    };
    for (const auto& row : rows) {
        fake::CallLog log;
        fake::FakeFileSystem files(log);
        fake::FakeCodePage codePage;
        files.Put("C:\\Games\\Quest\\EBOOT.PBP", row.pbp);
        const ImageRead read = IdentifyImage(files, codePage, "C:\\Games\\Quest\\EBOOT.PBP");
        EXPECT_EQ(read.id, row.id) << row.what;
        EXPECT_EQ(read.disc, row.disc) << row.what;
        EXPECT_TRUE(read.finished) << row.what;
    }
}

TEST(Pbp, Title) {
    const std::string disc = PbpDisc(Raw(GameIso(), kRawSector, 2), {});
    const struct {
        std::vector<std::pair<std::string, std::string>> sfo;
        std::optional<std::string> title;
    } rows[] = {
        {{{"CATEGORY", "ME"}, {"DISC_ID", "SLUS00594"}, {"TITLE", "Crystal Quest"}}, "Crystal Quest"},
        {{{"TITLE", "  Crystal Qu\xC3\xA9st \xE2\x80\x94 Disc 1 "}}, "Crystal Qu\xC3\xA9st \xE2\x80\x94 Disc 1"},
        {{{"TITLE", std::string(128, 'Q')}}, std::string(128, 'Q')},
        {{{"TITLE", std::string(129, 'Q')}}, std::nullopt},
        {{{"TITLE_ID", "Crystal Quest"}}, std::nullopt},
        {{{"TITLE", "Crystal Qu\xE9st"}}, std::nullopt},
        {{{"TITLE", "Crystal\tQuest"}}, std::nullopt},
        {{{"TITLE", "   "}}, std::nullopt},
    };
    for (const auto& row : rows) {
        const std::string pbp = Pbp({disc}, Sfo(row.sfo));
        const ReadImage read = [&](std::uint64_t at, std::size_t length) { return std::optional(pbp.substr(at, length)); };
        EXPECT_EQ(ReadPbpTitle(read, pbp.size()), row.title) << row.sfo.back().second;
    }
}

}  // namespace
}  // namespace kavri::test
