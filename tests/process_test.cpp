#include "monitor/process_name.h"
#include "tests/harness.h"

namespace kavri::test {
namespace {

TEST(EmulatorName, SuffixOfTheWholeNameInAnyCase) {
    for (const char* yes : {"kavri.exe", "KAVRI.EXE", "Kavri!.exe", "KAVRI!.EXE", "C:\\Emu\\kavri!.exe", "mykavri.exe"})
        EXPECT_TRUE(IsEmulatorName(yes)) << yes;
    for (const char* no : {"kavri.exe.bak", "kavri", "kavri.ex", "avri.exe", "", "kavri!!.exe"})
        EXPECT_FALSE(IsEmulatorName(no)) << no;
}

TEST(ProcessWalk, ExaminesEveryEntryOnceAndClosesTheSnapshot) {
    Harness h;
    h.os.kernel.processes = {"System", "explorer.exe", "notepad.exe"};
    EXPECT_FALSE(h.form.IsRunningApp());
    EXPECT_EQ(h.os.kernel.entriesFetched, 3);
    EXPECT_EQ(h.os.kernel.openSnapshots, 0);
    EXPECT_FALSE(h.os.kernel.badRecordSize);
    EXPECT_EQ(h.os.log.front(), "CreateToolhelp32Snapshot 2 0");
    EXPECT_EQ(h.os.log.back(), "CloseHandle");
}

TEST(ProcessWalk, StopsAtTheFirstMatch) {
    Harness h;
    h.os.kernel.processes = {"C:\\Program Files\\Kavri\\KAVRI!.EXE", "explorer.exe"};
    EXPECT_TRUE(h.form.IsRunningApp());
    EXPECT_EQ(h.os.kernel.entriesFetched, 1);
    EXPECT_EQ(Count(h.os.log, "Process32Next"), 0);
    EXPECT_EQ(h.os.kernel.openSnapshots, 0);
}

TEST(ProcessWalk, FailuresAnswerNo) {
    Harness h;
    h.os.kernel.processes = {"kavri.exe"};
    h.os.kernel.snapshotFails = true;
    EXPECT_FALSE(h.form.IsRunningApp());

    Harness unterminated;  // a name filling the whole field without its NUL ends the walk
    unterminated.os.kernel.processes = {std::string(260, 'x'), "kavri.exe"};
    EXPECT_FALSE(unterminated.form.IsRunningApp());
    EXPECT_EQ(unterminated.os.kernel.openSnapshots, 0);

    Harness fullLength;  // a 259-character name ending in the emulator's name still counts
    fullLength.os.kernel.processes = {std::string(250, 'x') + "kavri.exe"};
    EXPECT_TRUE(fullLength.form.IsRunningApp());
}

}  // namespace
}  // namespace kavri::test
