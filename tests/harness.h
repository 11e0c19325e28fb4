// A main window wired to the scripted platform, with the helpers the tests share.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form_kavri_meter.h"
#include "platform/fake/fake_platform.h"

namespace kavri::test {

inline const std::string kAppDir = "C:\\Program Files\\KavriStat";
inline const std::string kStatsPath = kAppDir + "\\kvrstat.csv";
inline const std::string kFreshFile =
    "\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n"
    "\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n\"0\",\"0\"\r\n-1\r\n-1\r\n";

struct Harness {
    fake::FakePlatform os;
    formKavriMeter form{os.platform()};

    Harness();
    void Emulator(bool running);
    // A CD-ROM drive holding a game disc whose boot file names SLUS-00594.
    void GameDisc(const std::string& drive = "D:");
    // Sets the clock, then runs one tick.
    void TickAt(int hour, int minute, int second);
    std::string Stats() const { return os.files.Get(kStatsPath); }
    std::vector<std::string> SlotCounts() const;
    std::vector<std::string> SlotMinutes() const;
};

// Position of the first log entry at or after from that starts with prefix; -1 when none.
int Find(const fake::CallLog& log, const std::string& prefix, int from = 0);
int Count(const fake::CallLog& log, const std::string& prefix);

}  // namespace kavri::test
