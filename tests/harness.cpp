#include "tests/harness.h"

namespace kavri::test {

Harness::Harness() {
    os.windowing.appPath = kAppDir;
    os.windowing.onUnload = [this] { form.CloseRequested(1); };
}

void Harness::Emulator(bool running) {
    os.kernel.processes = {"[System Process]", "explorer.exe"};
    if (running) os.kernel.processes.push_back("kavri.exe");
}

void Harness::GameDisc(const std::string& drive) {
    os.kernel.driveTypes[drive[0]] = 5;
    os.multimedia.Insert(drive);
    os.files.Put(drive + "\\system.cnf", "BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n");
}

void Harness::TickAt(int hour, int minute, int second) {
    os.clock.now.hour = hour;
    os.clock.now.minute = minute;
    os.clock.now.second = second;
    form.Timer1_Timer();
}

std::vector<std::string> Harness::SlotCounts() const {
    std::vector<std::string> out;
    for (const Label& l : form.lblTimes) out.push_back(l.Caption());
    return out;
}

std::vector<std::string> Harness::SlotMinutes() const {
    std::vector<std::string> out;
    for (const Label& l : form.lblTime) out.push_back(l.Tag() + "/" + l.Caption());
    return out;
}

int Find(const fake::CallLog& log, const std::string& prefix, int from) {
    for (int i = from; i < static_cast<int>(log.size()); ++i)
        if (log[i].starts_with(prefix)) return i;
    return -1;
}

int Count(const fake::CallLog& log, const std::string& prefix) {
    int n = 0;
    for (const auto& entry : log) n += entry.starts_with(prefix);
    return n;
}

}  // namespace kavri::test
