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

// The walk answers whether an entry ends in the emulator's name, fetches no entry past the first
// match and closes the snapshot on every way out.
TEST(ProcessWalk, AnswersFromTheSnapshotAndClosesIt) {
    const struct {
        std::vector<std::string> processes;
        bool snapshotFails;
        bool running;
        int fetched;
    } rows[] = {
        {{"System", "explorer.exe", "notepad.exe"}, false, false, 3},
        {{"C:\\Program Files\\Kavri\\KAVRI!.EXE", "explorer.exe"}, false, true, 1},
        {{"kavri.exe"}, true, false, 0},
        {{std::string(260, 'x'), "kavri.exe"}, false, false, 1},  // a name without its NUL ends the walk
        {{std::string(250, 'x') + "kavri.exe"}, false, true, 1},  // 259 characters and the NUL still count
    };
    for (const auto& row : rows) {
        Harness h;
        h.os.kernel.processes = row.processes;
        h.os.kernel.snapshotFails = row.snapshotFails;
        EXPECT_EQ(h.form.IsRunningApp(), row.running) << row.processes[0];
        EXPECT_EQ(h.os.kernel.entriesFetched, row.fetched) << row.processes[0];
        EXPECT_EQ(h.os.kernel.openSnapshots, 0) << row.processes[0];
        EXPECT_FALSE(h.os.kernel.badRecordSize);
        EXPECT_EQ(h.os.log.front(), "CreateToolhelp32Snapshot 2 0");
    }
}

}  // namespace
}  // namespace kavri::test
