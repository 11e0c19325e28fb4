// Parses arbitrary bytes as the diary file: the days they yield, saved, read back cleanly as
// exactly those days; and a diary built from arbitrary runs-list lines saves and reads back too.
#include <cstdint>
#include <string>
#include <vector>

#include "history/diary.h"

namespace {

void RoundTrip(const kavri::DiaryDays& days) {
    kavri::Diary diary;
    diary.Assign(days);
    const kavri::DiaryContent again = kavri::ParseDiary(kavri::FormatDiary(diary));
    if (!again.clean || again.days != days) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RoundTrip(kavri::ParseDiary(bytes).days);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    RoundTrip(kavri::DiaryFromRuns(lines, lines, {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}));
    return 0;
}
