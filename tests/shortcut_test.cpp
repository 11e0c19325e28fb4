#include <gtest/gtest.h>

#include "startup/shortcut_image.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

std::string Text(const std::string& bytes, std::size_t offset, std::size_t size) { return bytes.substr(offset, size); }

std::uint32_t U32(const std::string& b, std::size_t o) {
    return static_cast<std::uint8_t>(b[o]) | static_cast<std::uint8_t>(b[o + 1]) << 8 |
           static_cast<std::uint8_t>(b[o + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[o + 3])) << 24;
}

TEST(StartupShortcut, WrittenWithTheProgramsDriveRootInAllThreePlaces) {
    Harness h;
    h.os.windowing.appPath = "D:\\Games\\Meter";
    h.form.InstallStartupShortcut();
    const std::string b = h.os.files.Get(kShortcutPath);
    ASSERT_EQ(b.size(), 255u);
    EXPECT_EQ(U32(b, 0x00), 76u);
    EXPECT_EQ(static_cast<std::uint8_t>(b[0x14]), 0x1B);
    EXPECT_EQ(U32(b, 0x34), 56320u);
    EXPECT_EQ(U32(b, 0x3C), 1u);
    EXPECT_EQ(Text(b, 0x62, 6), std::string("\x19\x00\x23" "D:\\", 6));
    EXPECT_EQ(Text(b, 0x89, 27), std::string("KavriStat.exe\0KAVRIS~1.EXE\0", 27));
    EXPECT_EQ(U32(b, 0xA6), 67u);
    EXPECT_EQ(U32(b, 0xBA), 0x00458220u);
    EXPECT_EQ(Text(b, 0xD2, 5), std::string("DISK\0", 5));
    EXPECT_EQ(Text(b, 0xD7, 17), std::string("D:\\KavriStat.exe\0", 17));
    EXPECT_EQ(Text(b, 0xE9, 17), std::string("\x0F\x00.\\KavriStat.exe", 17));
    EXPECT_EQ(Text(b, 0xFA, 5), std::string("\x03\x00" "D:\\", 5));
    // Only the root differs between drives.
    const auto c = ShortcutImage("C:\\");
    int differing = 0;
    for (std::size_t i = 0; i < 255; ++i) differing += static_cast<std::uint8_t>(b[i]) != c[i];
    EXPECT_EQ(differing, 3);
}

TEST(StartupShortcut, AnExistingShortcutIsNeverTouchedButAnEmptyOneIsReplaced) {
    Harness h;
    h.os.files.Put(kShortcutPath, "points elsewhere");
    h.form.InstallStartupShortcut();
    EXPECT_EQ(h.os.files.Get(kShortcutPath), "points elsewhere");
    EXPECT_EQ(h.os.files.writes, 0);

    h.os.files.Put(kShortcutPath, "");
    h.form.InstallStartupShortcut();
    EXPECT_EQ(h.os.files.Get(kShortcutPath).size(), 255u);
}

TEST(StartupShortcut, FailuresAndNonDrivePathsLeaveNoFileAndStartUpGoesOn) {
    Harness h;
    h.os.files.unwritable.insert(kShortcutPath);
    h.form.Form_Load();
    EXPECT_FALSE(h.os.files.Has(kShortcutPath));
    EXPECT_EQ(h.os.shell.iconsShown, 1);

    Harness unc;
    unc.os.windowing.appPath = "\\\\server\\share\\KavriStat";
    unc.form.InstallStartupShortcut();
    EXPECT_FALSE(unc.os.files.Has(kShortcutPath));
    EXPECT_EQ(unc.os.files.writes, 0);
}

}  // namespace
}  // namespace kavri::test
