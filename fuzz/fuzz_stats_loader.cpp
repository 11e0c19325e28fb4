// Loads arbitrary bytes as the statistics file; texts without quotes must survive a save and a
// second load unchanged.
#include <cstdint>
#include <string>

#include "app/form_kavri_meter.h"
#include "platform/fake/fake_platform.h"
#include "stats/stats_file.h"

namespace {

bool HasQuote(const kavri::StatsContent& c) {
    auto quoted = [](const std::string& s) { return s.find('"') != std::string::npos; };
    for (const auto& slot : c.slots)
        if (quoted(slot.count) || quoted(slot.minutes)) return true;
    for (const auto* list : {&c.games, &c.runs})
        for (const auto& line : *list)
            if (quoted(line)) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    kavri::fake::FakePlatform os;
    kavri::formKavriMeter form(os.platform());
    const std::string path = os.windowing.appPath + "\\kvrstat.csv";
    os.files.Put(path, bytes);
    form.LoadStats();

    const kavri::StatsContent first = kavri::ParseStatsFile(bytes);
    if (!first.complete || HasQuote(first)) return 0;
    form.SaveStats();
    const kavri::StatsContent second = kavri::ParseStatsFile(os.files.Get(path));
    if (!second.complete || second.games != first.games || second.runs != first.runs) __builtin_trap();
    for (std::size_t i = 0; i < 8; ++i)
        if (second.slots[i].count != first.slots[i].count || second.slots[i].minutes != first.slots[i].minutes)
            __builtin_trap();
    return 0;
}
