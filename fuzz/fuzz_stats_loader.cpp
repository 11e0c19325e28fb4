// Loads arbitrary bytes as the statistics file and saves: what a load of any bytes saves, loaded
// again, saves the same bytes, and a file that did not read cleanly is first kept whole as the
// backup. The first byte picks the paths after the load: bit 0, the file is held at start-up and
// released before the next tick; bit 1, the first backup fails.
#include <cstdint>
#include <string>

#include "app/form_kavri_meter.h"
#include "platform/fake/fake_platform.h"
#include "stats/stats_file.h"

namespace {

// Loads bytes into a fresh window and saves it; the file's bytes afterwards.
std::string SavedAgain(const std::string& bytes) {
    kavri::fake::FakePlatform os;
    kavri::formKavriMeter form(os.platform());
    os.files.Put(form.StatsPath(), bytes);
    form.LoadStats();
    form.SaveStats();
    if (os.files.Has(form.BackupPath())) __builtin_trap();  // what the program saved reads cleanly
    return os.files.Get(form.StatsPath());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t paths = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    kavri::fake::FakePlatform os;
    kavri::formKavriMeter form(os.platform());
    const std::string file = form.StatsPath(), backup = form.BackupPath();
    os.files.Put(file, bytes);
    if (paths & 1) os.files.locked.insert(file);
    if (paths & 2) os.files.unwritable.insert(backup);
    form.Form_Load();
    os.files.locked.clear();
    form.Timer1_Timer();  // loads a file released before anything was counted

    const bool kept = !bytes.empty() && !kavri::ParseStatsFile(bytes).ReadCleanly();
    if (paths & 2) {
        form.SaveStats();
        if (kept && os.files.Get(file) != bytes) __builtin_trap();  // no backup, no replacement
        os.files.unwritable.clear();
    }
    form.SaveStats();
    if (os.files.Has(backup) != kept || (kept && os.files.Get(backup) != bytes)) __builtin_trap();
    const std::string saved = os.files.Get(file);
    if (SavedAgain(saved) != saved) __builtin_trap();
    return 0;
}
