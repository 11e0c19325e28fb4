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

TEST(StartupShortcut, TheFixedImageHoldsTheProgramsDriveRootInAllThreePlaces) {
    Harness h;
    h.os.windowing.appPath = "D:\\";
    h.os.files.folders.insert(kShortcutFolder);
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

// Which shortcut is made where: the fixed image only for KavriStat.exe in a drive's root with the
// classic folder present; otherwise the shell's shortcut to the real executable in the user's
// Startup folder, never for a copy run from the temporary folder. What is already there is left
// alone, unless it is a shortcut to a file that is gone.
TEST(StartupShortcut, WhichShortcutInWhichSituation) {
    const std::string userLink = Harness().os.shell.folders[ShellFolder::Startup] + "\\KavriStat.lnk";
    const std::string unpacked = Harness().os.shell.folders[ShellFolder::Temp] + "\\Temp1_KavriStat.zip";
    enum Expect { kImage, kLink, kNothing };
    struct Case {
        const char* what;
        std::string appPath, exeName;
        bool fixedFolder;
        const char* existing;  // a file already at the place that applies
        Expect expect;
    } cases[] = {
        {"drive root with the classic folder", "D:\\", "KavriStat.exe", true, nullptr, kImage},
        {"drive root, empty file there", "D:\\", "KavriStat.exe", true, "", kImage},
        {"drive root, a shortcut there", "D:\\", "KavriStat.exe", true, "mine", kNothing},
        {"drive root without the classic folder", "D:\\", "KavriStat.exe", false, nullptr, kLink},
        {"drive root, another file name", "D:\\", "Meter.exe", true, nullptr, kLink},
        {"a folder of its own", "C:\\KavriStat", "KavriStat.exe", true, nullptr, kLink},
        {"a folder named outside the code page", "C:\\\u0418\u0433\u0440\u044b\\KavriStat", "KavriStat.exe", false, nullptr, kLink},
        {"a folder of its own, empty file there", "C:\\KavriStat", "KavriStat.exe", true, "", kLink},
        {"a folder of its own, a file that is no shortcut", "C:\\KavriStat", "KavriStat.exe", true, "mine", kNothing},
        {"a shortcut to a program that is there", "C:\\KavriStat", "KavriStat.exe", true, "C:\\Tools\\KavriStat.exe|C:\\Tools", kNothing},
        {"a shortcut to a program that is gone", "C:\\KavriStat", "KavriStat.exe", true, "C:\\Old\\KavriStat.exe|C:\\Old", kLink},
        {"unpacked from an archive into the temporary folder", unpacked, "KavriStat.exe", false, nullptr, kNothing},
        {"a network share", "\\\\server\\share", "KavriStat.exe", true, nullptr, kLink},
    };
    for (const Case& c : cases) {
        Harness h;
        h.os.windowing.appPath = c.appPath;
        h.os.windowing.exeName = c.exeName;
        h.os.files.Put("C:\\Tools\\KavriStat.exe", "MZ");
        if (c.fixedFolder) h.os.files.folders.insert(kShortcutFolder);
        const std::string place = c.appPath == "D:\\" && c.fixedFolder && c.exeName == "KavriStat.exe" ? kShortcutPath : userLink;
        if (c.existing) h.os.files.Put(place, c.existing);
        h.form.InstallStartupShortcut();
        const std::string expected = c.expect == kImage ? std::string(255, '?')
                                     : c.expect == kLink ? h.os.windowing.ExePath() + "|" + c.appPath
                                                         : std::string(c.existing ? c.existing : "");
        EXPECT_EQ(h.os.files.Get(place).size(), expected.size()) << c.what;
        EXPECT_TRUE(c.expect == kImage || h.os.files.Get(place) == expected) << c.what;
        EXPECT_EQ(h.os.shell.links.size(), c.expect == kLink ? 1u : 0u) << c.what;
        EXPECT_EQ(h.os.files.writes, c.expect == kImage ? 1 : 0) << c.what;
    }
}

TEST(StartupShortcut, FailuresChangeNothingElseAndStartUpGoesOn) {
    for (int failure = 0; failure < 3; ++failure) {
        Harness h;
        if (failure == 0) h.os.shell.linkFails = true;
        if (failure == 1) h.os.shell.folders.erase(ShellFolder::Startup);
        if (failure == 2) {  // the classic place is not writable
            h.os.windowing.appPath = "C:\\";
            h.os.files.folders.insert(kShortcutFolder);
            h.os.files.unwritable.insert(kShortcutPath);
        }
        h.form.Form_Load();
        EXPECT_EQ(h.os.files.writes, failure == 2 ? 1 : 0) << failure;
        EXPECT_FALSE(h.os.files.Has(kShortcutPath)) << failure;
        EXPECT_EQ(h.os.shell.iconsShown, 1) << failure;
        EXPECT_TRUE(h.os.windowing.visible) << failure;
    }
}

}  // namespace
}  // namespace kavri::test
