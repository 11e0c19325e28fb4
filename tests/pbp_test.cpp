// Packages of the handheld's PlayStation player (".pbp"): the first disc read as far as the game
// identifier through blocks deflated or stored, damaged packages, and the title they carry.
#include <gtest/gtest.h>

#include "discimage/identify.h"
#include "discimage/pbp.h"
#include "platform/fake/fake_platform.h"
#include "tests/disc_images.h"

namespace kavri::test {
namespace {

TEST(Pbp, FirstDiscThroughEachBlockTitleAndLies) {
    std::vector<std::pair<std::string, std::string>> files(12, {"F.DAT;1", "x"});
    files.push_back({"SYSTEM.CNF;1", kBootFile});
    const std::string far = Raw(Iso(files), kRawSector, 2), two = Raw(Iso({{"SYSTEM.CNF;1", "BOOT=cdrom:\\SLUS_005.95;1"}}), kRawSector, 2);
    const std::vector<std::pair<std::string, std::string>> sfo = {{"CATEGORY", "ME"}, {"DISC_ID", "SLUS00594"}, {"TITLE", "Crystal Quest"}};
    const std::string one = Pbp({PbpDisc(far)}, sfo), quest = "Crystal Quest";  // its boot file in its third block
    const std::size_t index = static_cast<unsigned char>(one[36]) + 256 * static_cast<unsigned char>(one[37]) + 0x4000;
    const auto patched = [](std::string pbp, std::size_t at, std::uint32_t value) { return Put32(pbp, at, value), pbp; };
    const auto titled = [&](const std::string& title) { return Pbp({PbpDisc(far)}, {{"TITLE", title}}); };
    const struct {
        const char* what;
        std::string pbp, id;
        bool disc;
        std::optional<std::string> title;
    } rows[] = {
        {"every block deflated", one, "SLUS-00594", true, quest},
        {"the descriptor's block stored, the boot file's deflated", Pbp({PbpDisc(far, {1})}, sfo), "SLUS-00594", true, quest},
        {"the boot file's block stored", Pbp({PbpDisc(far, {0, 2})}, sfo), "SLUS-00594", true, quest},
        {"the first of two discs, which lies last in the file", Pbp({PbpDisc(far), PbpDisc(two)}, sfo), "SLUS-00594", true, quest},
        {"a block's offset past the end", patched(one, index + 64, one.size() - index + 0x4000 - 0x100000), "", true, quest},
        {"a block's length over a block", patched(one + std::string(70000, '\0'), index + 36, 0xFFFF), "", true, quest},
        {"a block that inflates to less than 16 sectors", patched(one, index + 68, 40), "", true, quest},
        {"a DATA.PSAR of neither kind", Pbp({}, sfo), "", true, quest},
        {"DATA.PSP after DATA.PSAR", patched(one, 32, static_cast<std::uint32_t>(index - 0x4000 + 1)), "", false, {}},
        {"an image that is no package", far, "", false, {}},
        {"a title trimmed", titled(" Crystal Qu\xC3\xA9st \xE2\x80\x94 Disc 1  "), "SLUS-00594", true, "Crystal Qu\xC3\xA9st \xE2\x80\x94 Disc 1"},
        {"a title of 128 bytes", titled(std::string(128, 'Q')), "SLUS-00594", true, std::string(128, 'Q')},
        {"a title of 129 bytes", titled(std::string(129, 'Q')), "SLUS-00594", true, {}},
        {"no title, though a key starts so", Pbp({PbpDisc(far)}, {{"TITLE_ID", quest}}), "SLUS-00594", true, {}},
        {"a title not in UTF-8", titled("Crystal Qu\xE9st"), "SLUS-00594", true, {}},
        {"a title with a tab", titled("Crystal\tQuest"), "SLUS-00594", true, {}},
        {"a title of blanks", titled("   "), "SLUS-00594", true, {}},
    };
    for (const auto& row : rows) {
        fake::CallLog log;
        fake::FakeFileSystem files(log);
        fake::FakeCodePage codePage;
        files.Put("C:\\Games\\Quest\\EBOOT.PBP", row.pbp);
        const ImageRead read = IdentifyImage(files, codePage, "C:\\Games\\Quest\\EBOOT.PBP");
        EXPECT_EQ(read.id + (read.disc ? " disc" : "") + (read.finished ? "" : " unfinished"), row.id + (row.disc ? " disc" : "")) << row.what;
        const ReadImage bytes = [&](std::uint64_t at, std::size_t length) { return std::optional(row.pbp.substr(at, length)); };
        EXPECT_EQ(ReadPbpTitle(bytes, row.pbp.size()), row.title) << row.what;
    }
}

}  // namespace
}  // namespace kavri::test
