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

#include "discimage/chd_map.h"
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
    if (std::system("chdman help >/dev/null 2>&1") == -1 || MakeChd("").empty())
        GTEST_SKIP() << "chdman (Debian's mame-tools) cannot be run here: CHD files it makes are not tested in this run";
    for (const char* codecs : {"", "cdlz", "cdzl", "none"}) EXPECT_EQ(IdOf(MakeChd(codecs)), "SLUS-00594") << codecs;
    const std::string chd = MakeChd("cdlz");
    std::string parent = chd, zstd = chd, map = chd;
    parent[kParentChecksum] = 1;
    zstd.replace(kFirstCodec, 4, "cdzs");
    std::size_t mapAt = 0;  // the header's offset of the hunk map
    for (std::size_t i = kMapOffset; i < kMapOffset + 8; ++i) mapAt = mapAt << 8 | static_cast<unsigned char>(chd[i]);
    map[mapAt + 20] = static_cast<char>(~map[mapAt + 20]);
    std::string checksum = chd;
    checksum[mapAt + 11] = static_cast<char>(checksum[mapAt + 11] ^ 1);  // the map's stored CRC alone
    const struct {
        const char* what;
        std::string chd;
    } lies[] = {
        {"cut short", chd.substr(0, chd.size() / 2)}, {"a parent needed", parent}, {"zstd hunks", zstd},
        {"a damaged map", map},                    {"the header only", chd.substr(0, 124)},
        {"the map's checksum alone wrong", checksum},
    };
    for (const auto& lie : lies) EXPECT_EQ(IdOf(lie.chd), "") << lie.what;
}

TEST(Chd, CopiesOfHunksEnd) {
    using namespace chd;
    const std::vector<Hunk> map = {{0, 100, 1000}, {kSelf, 0, 0},  {kSelf, 0, 1},   {kSelf, 0, 4}, {0, 100, 2000},
                                   {kSelf, 0, 5},  {kSelf, 0, 99}, {kParent, 0, 0}, {kSelf, 0, 7}, {kSelf, 0, 10},
                                   {kSelf, 0, 9}};
    const struct {
        std::uint32_t hunk;
        std::optional<std::uint32_t> stored;
        const char* what;
    } rows[] = {
        {0, 0, "stored"},
        {1, 0, "a copy of an earlier hunk"},
        {2, 0, "a copy of a copy"},
        {3, {}, "a copy of a later hunk, though that one is stored"},
        {4, 4, "that later hunk itself"},
        {5, {}, "itself"},
        {6, {}, "one past the map"},
        {7, {}, "a parent's"},
        {8, {}, "a copy of a parent's"},
        {9, {}, "a copy of a later hunk that copies it back"},
        {10, {}, "a copy of an earlier hunk that copies a later one"},
        {11, {}, "past the map"},
    };
    for (const auto& row : rows) EXPECT_EQ(StoredHunk(map, row.hunk), row.stored) << row.what;
}

// Bits at a probability of one half, each of them the first use of its probability, which is
// all a stream of a literal and one match needs.
std::string RangeCoded(const std::vector<int>& bits) {
    std::uint64_t low = 0, pending = 1;
    std::uint32_t range = 0xFFFFFFFF;
    unsigned char cache = 0;
    std::string out;
    const auto shift = [&] {
        if (static_cast<std::uint32_t>(low) < 0xFF000000u || (low >> 32) != 0) {
            for (unsigned char carry = static_cast<unsigned char>(low >> 32); pending > 0; --pending) {
                out += static_cast<char>(cache + carry);
                cache = 0xFF;
            }
            cache = static_cast<unsigned char>(low >> 24);
        }
        ++pending;
        low = (low & 0x00FFFFFF) << 8;
    };
    for (const int bit : bits) {
        const std::uint32_t bound = (range >> 11) * 1024;
        if (bit) low += bound, range -= bound;
        else range = bound;
        for (; range < (1u << 24); range <<= 8) shift();
    }
    for (int i = 0; i < 5; ++i) shift();
    return out;
}

TEST(Chd, LzmaRefusesAMatchBeforeTheStart) {
    // 'A' as a literal, then a match of two: its kind, its length's choice and three bits, and
    // its distance's slot in six bits (slot 0 is the byte before, slot 1 the one before that).
    std::vector<int> stream = {0, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0};
    for (const int slot : {0, 1}) {
        std::vector<int> bits = stream;
        for (int i = 5; i >= 0; --i) bits.push_back((slot >> i) & 1);
        const auto out = DecodeLzma(RangeCoded(bits), {3, 0, 2, 1 << 20}, 3);
        EXPECT_EQ(out, slot == 0 ? std::optional<std::string>("AAA") : std::nullopt) << slot;
    }
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
