// CD images in the compressed hunks container, made at test time by chdman from a cue sheet and
// raw sectors built as the other image tests build theirs; and the LZMA decoder against liblzma.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#if __has_include(<lzma.h>)
#include <lzma.h>
#endif

#include "discimage/identify.h"
#include "discimage/lzma.h"
#include "platform/fake/fake_platform.h"
#include "tests/disc_images.h"

namespace kavri::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kParentChecksum = 104;  // where the header names the parent file, if any
constexpr std::size_t kFirstCodec = 16;
constexpr std::size_t kMapOffset = 40;

// The CHD chdman makes of a game's raw sectors, with 200 kB of data after its boot file (chdman
// fails on the tiniest images), with the given compressors; empty without chdman.
std::string MakeChd(const std::string& codecs) {
    const fs::path folder = fs::temp_directory_path() / ("kavri-chd-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    std::string data(200000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = "0123456789abcdef"[(i * 7919 % 16) ^ (i / 3000 % 16)];
    const std::string iso = Iso({{"SYSTEM.CNF;1", kBootFile}, {"DATA.BIN;1", data}});
    std::ofstream(folder / "game.bin", std::ios::binary) << Raw(iso, kRawSector, 2);
    std::ofstream(folder / "game.cue") << "FILE \"game.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n";
    const std::string command = "chdman createcd -f -i '" + (folder / "game.cue").string() + "' -o '" +
                                (folder / "game.chd").string() + "'" + (codecs.empty() ? "" : " -c " + codecs) +
                                " >/dev/null 2>&1";
    std::stringstream chd;
    if (std::system(command.c_str()) == 0) chd << std::ifstream(folder / "game.chd", std::ios::binary).rdbuf();
    fs::remove_all(folder);
    return chd.str();
}

std::string IdOf(const std::string& chd) {
    fake::CallLog log;
    fake::FakeFileSystem files(log);
    fake::FakeCodePage codePage;
    files.Put("C:\\Games\\game.chd", chd);
    return IdentifyImage(files, codePage, "C:\\Games\\game.chd").id;
}

TEST(Chd, EachCompressorAndFilesThatLie) {
    if (std::system("chdman help >/dev/null 2>&1") == -1 || MakeChd("").empty()) GTEST_SKIP() << "no chdman here";
    for (const char* codecs : {"", "cdlz", "cdzl", "none"}) EXPECT_EQ(IdOf(MakeChd(codecs)), "SLUS-00594") << codecs;
    const std::string chd = MakeChd("cdlz");
    std::string parent = chd, zstd = chd, map = chd;
    parent[kParentChecksum] = 1;
    zstd.replace(kFirstCodec, 4, "cdzs");
    std::size_t mapAt = 0;  // the header's offset of the hunk map
    for (std::size_t i = kMapOffset; i < kMapOffset + 8; ++i) mapAt = mapAt << 8 | static_cast<unsigned char>(chd[i]);
    map[mapAt + 20] = static_cast<char>(~map[mapAt + 20]);
    const struct {
        const char* what;
        std::string chd;
    } lies[] = {
        {"cut short", chd.substr(0, chd.size() / 2)}, {"a parent needed", parent}, {"zstd hunks", zstd},
        {"a damaged map", map},                    {"the header only", chd.substr(0, 124)},
    };
    for (const auto& lie : lies) EXPECT_EQ(IdOf(lie.chd), "") << lie.what;
}

TEST(Chd, LzmaDecodesWhatLiblzmaEncodes) {
#if __has_include(<lzma.h>)
    std::mt19937 random(7);
    for (int kind = 0; kind < 3; ++kind) {
        std::string data(30000 + 7919 * kind, '\0');
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>(kind == 0 ? random() : kind == 1 ? 'a' + random() % 4 : (i % 97 < 50 ? 0 : i % 7));
        lzma_options_lzma options;
        lzma_lzma_preset(&options, 9);
        lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
        std::string packed(data.size() * 2 + 1024, '\0');
        std::size_t packedSize = 0;
        ASSERT_EQ(lzma_raw_buffer_encode(filters, nullptr, reinterpret_cast<const std::uint8_t*>(data.data()), data.size(),
                                         reinterpret_cast<std::uint8_t*>(packed.data()), &packedSize, packed.size()),
                  LZMA_OK);
        packed.resize(packedSize);
        EXPECT_EQ(DecodeLzma(packed, {3, 0, 2, 1 << 20}, data.size()), data) << kind;
        EXPECT_EQ(DecodeLzma(packed.substr(0, packed.size() / 2), {3, 0, 2, 1 << 20}, data.size()), std::nullopt) << kind;
    }
#else
    GTEST_SKIP() << "no liblzma here";
#endif
}

}  // namespace
}  // namespace kavri::test
