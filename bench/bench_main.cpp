// The cost of one tick with a long process list, of saving and loading the largest files, of
// importing the longest list of names, and of a start with all of them.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>

#include "app/form_kavri_meter.h"
#include "discimage/identify.h"
#include "platform/fake/fake_platform.h"
#include "tests/disc_images.h"

namespace {

using kavri::fake::FakePlatform;

// 500 processes with the emulator last, and two CD-ROM drives: an empty one, then one whose
// game disc was already recorded.
void BM_TickWith500ProcessesAndTwoDrives(benchmark::State& state) {
    FakePlatform os;
    for (int i = 0; i < 499; ++i) os.kernel.processes.push_back("C:\\Windows\\System32\\svchost" + std::to_string(i) + ".exe");
    os.kernel.processes.push_back("C:\\Emulators\\kavri.exe");
    os.kernel.driveTypes = {{'D', 5}, {'E', 5}};
    os.multimedia.Insert("D:");
    os.files.Put("D:\\system.cnf", "BOOT = cdrom:\\SLUS_005.94;1\r\n");
    kavri::formKavriMeter form(os.platform());
    form.Form_Load();
    for (auto _ : state) {
        os.log.clear();
        os.multimedia.commands.clear();
        form.Timer1_Timer();
    }
}
BENCHMARK(BM_TickWith500ProcessesAndTwoDrives);

// The emulator plays a disc image it holds open, among 100,000 handles of the system: 40 of them
// the emulator's, 10 of those files. The first tick reads the image; these are the ticks after it.
// With the argument 1 the list names each handle's object, so a handle is asked once.
void BM_TickPlayingAnImageAmong100000Handles(benchmark::State& state) {
    FakePlatform os;
    os.kernel.processes = {"explorer.exe", "kavri.exe"};
    const std::uint32_t emulator = 101;
    const bool named = state.range(0) != 0;
    for (std::uintptr_t h = 0; h < 100000; ++h) {
        const bool own = h % 2500 == 0;
        os.kernel.handles.push_back(
            {own ? emulator : static_cast<std::uint32_t>(200 + h % 300), h * 4, own || h % 3 == 0, named ? h + 1 : 0});
        if (own && h % 10000 == 0) os.kernel.handlePaths[h * 4] = {kavri::HandlePath::Outcome::Path, "C:\\Games\\save" + std::to_string(h) + ".mcd"};
    }
    os.kernel.handlePaths[40000] = {kavri::HandlePath::Outcome::Path, "C:\\Games\\Crystal Quest.bin"};
    os.files.Put("C:\\Games\\Crystal Quest.bin", kavri::test::Raw(kavri::test::GameIso(), kavri::test::kRawSector, 2));
    kavri::formKavriMeter form(os.platform());
    form.Form_Load();
    const int asked = os.kernel.pathQueries;
    for (auto _ : state) {
        os.log.clear();
        form.Timer1_Timer();
    }
    if (form.currentGameId != "SLUS-00594") state.SkipWithError("the image's game was not found");
    state.counters["paths_asked_per_tick"] = static_cast<double>(os.kernel.pathQueries - asked) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TickPlayingAnImageAmong100000Handles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Identifying the game of a 700 MB CD image in a CHD (made by scripts/bench): only the header,
// the hunk map, the track metadata and the hunks of the sectors read are read.
void BM_IdentifyA700MbChd(benchmark::State& state) {
    const char* path = std::getenv("KAVRI_BENCH_CHD");
    std::ifstream file(path ? path : "", std::ios::binary);
    if (!file) return state.SkipWithError("no CHD: run scripts/bench");
    FakePlatform os;
    os.files.Put("C:\\Games\\game.chd", std::string(std::istreambuf_iterator<char>(file), {}));
    std::string id;
    for (auto _ : state) {
        os.files.bytesRead = 0;
        id = kavri::IdentifyImage(os.files, os.codePage, "C:\\Games\\game.chd").id;
    }
    if (id.empty()) state.SkipWithError("the game was not found");
    state.counters["bytes_read"] = static_cast<double>(os.files.bytesRead);
    state.counters["file_bytes"] = static_cast<double>(os.files.Get("C:\\Games\\game.chd").size());
}
BENCHMARK(BM_IdentifyA700MbChd)->Unit(benchmark::kMillisecond);

// A second of the pad timer while the emulator runs and time away is not counted: four empty
// slots (argument 0), or one pad held (argument 1). An empty slot is slow to ask on Windows, so
// what matters beside the time is how often one is asked: at most every 10 seconds.
void BM_PadPollingASecond(benchmark::State& state) {
    FakePlatform os;
    os.kernel.processes = {"explorer.exe", "kavri.exe"};
    if (state.range(0) == 1) os.input.pads[0] = kavri::PadReading{};
    kavri::formKavriMeter form(os.platform());
    form.Form_Load();
    os.windowing.optionsChosen.push_back(kavri::IdleOptions{true, 10});
    form.btnOptions_Click();
    form.Timer1_Timer();
    if (!form.PadTimer.enabled) return state.SkipWithError("the pad timer did not start");
    const auto emptyAsks = [&] {
        int asks = 0;
        for (std::size_t slot = 0; slot < 4; ++slot)
            if (!os.input.pads[slot]) asks += os.input.slotReads[slot];
        return asks;
    };
    const int before = emptyAsks();
    for (auto _ : state) {
        os.input.steadyMs += 1000;
        os.clock.Advance(1);
        form.PadTimer_Timer();
    }
    const int empty = emptyAsks() - before;
    state.counters["empty_slot_asks_per_second"] = static_cast<double>(empty) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PadPollingASecond)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A model whose two lists hold the given number of lines each.
void Fill(kavri::formKavriMeter& form, int lines) {
    for (int i = 0; i < lines; ++i) {
        form.lstGames.Append("SLUS-" + std::to_string(10000 + i) + "\t12 \tAug 02, 2000 14:05:09 - 1h 35m");
        form.lstTimes.Append("Aug 02, 2000 14:05:09 - 0h 42m");
    }
}

// Saving and loading lists of 3276 to 32767 lines: the cost grows with the lines, no faster.
void BM_SaveLinesEach(benchmark::State& state) {
    FakePlatform os;
    kavri::formKavriMeter form(os.platform());
    Fill(form, static_cast<int>(state.range(0)));
    for (auto _ : state) form.SaveStats();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(os.files.Get(form.StatsPath()).size()));
}
BENCHMARK(BM_SaveLinesEach)->Arg(3276)->Arg(16384)->Arg(32767)->Unit(benchmark::kMillisecond);

void BM_LoadLinesEach(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    FakePlatform os;
    std::string bytes;
    {
        kavri::formKavriMeter source(os.platform());
        Fill(source, lines);
        source.SaveStats();
        bytes = os.files.Get(source.StatsPath());
    }
    for (auto _ : state) {
        kavri::formKavriMeter form(os.platform());
        benchmark::DoNotOptimize(form.LoadStats());
        if (form.lstTimes.Count() != lines) state.SkipWithError("lines lost");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_LoadLinesEach)->Arg(3276)->Arg(16384)->Arg(32767)->Unit(benchmark::kMillisecond);

// The totals file with one game per games-list line, at the list's largest, read at start-up.
void BM_LoadTotalsGames(benchmark::State& state) {
    const int games = static_cast<int>(state.range(0));
    FakePlatform os;
    {
        kavri::formKavriMeter source(os.platform());
        for (int i = 0; i < games; ++i) source.gameTotals.Record("SLUS-" + std::to_string(10000 + i), "Aug 02, 2000 14:05:09");
        source.SaveTotals();
    }
    for (auto _ : state) {
        kavri::formKavriMeter form(os.platform());
        form.LoadTotals();
        if (static_cast<int>(form.gameTotals.Games().size()) != games) state.SkipWithError("games lost");
    }
}
BENCHMARK(BM_LoadTotalsGames)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(32767)->Unit(benchmark::kMillisecond);

// Twenty years of daily play, two games a day: the diary file read at start-up.
void BM_LoadDiaryTwentyYears(benchmark::State& state) {
    FakePlatform os;
    {
        kavri::formKavriMeter source(os.platform());
        for (std::int64_t day = 0; day < 20 * 366; ++day) {
            source.diary.AddRun(11000 + day);
            source.diary.AddMinutes(11000 + day, "SLUS-" + std::to_string(10000 + day % 700), 50);
            source.diary.AddMinutes(11000 + day, "SCES-" + std::to_string(20000 + day % 300), 40);
        }
        source.SaveDiary();
    }
    for (auto _ : state) {
        kavri::formKavriMeter form(os.platform());
        form.LoadDiary();
        if (form.diary.Days().size() != 20 * 366) state.SkipWithError("days lost");
    }
}
BENCHMARK(BM_LoadDiaryTwentyYears)->Unit(benchmark::kMillisecond);

// The History window's Games view over twenty years of diary, five games a day, and 32,767
// games, every other one named after the game before it (its second disc): the last 30 days
// (argument 1) and all time (3).
void BM_GamesViewTwentyYears(benchmark::State& state) {
    FakePlatform os;
    kavri::formKavriMeter form(os.platform());
    const std::int64_t today = form.Today();
    const auto id = [](std::int64_t game) { return "SLUS-" + std::to_string(10000 + game % 32767); };
    for (std::int64_t day = 0; day < 20 * 366; ++day) {
        form.diary.AddRun(today - day);
        for (int game = 0; game < 5; ++game) form.diary.AddMinutes(today - day, id(day * 5 + game), 10 + game);
    }
    for (int game = 0; game < 32767; ++game) {
        form.gameTotals.Record(id(game), "Aug 02, 2000 14:05:09");
        form.gameTotals.Add(id(game), 100 + game % 1000);
        form.gameTotals.Name(kavri::GameTotal{id(game), 0, "", "", "", {}}, "Game " + std::to_string(game / 2));
    }
    for (auto _ : state) {
        const kavri::GameShares shares = form.Shares(static_cast<kavri::SharePeriod>(state.range(0)));
        if (shares.rows.empty()) state.SkipWithError("no rows");
    }
}
BENCHMARK(BM_GamesViewTwentyYears)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

// A list of 100,000 names of 40 characters, each line "SLUS-1xxxxx; name".
std::string LongestNameList() {
    std::string list;
    for (int i = 0; i < 100000; ++i) list += "SLUS-" + std::to_string(100000 + i) + "; " + std::string(40, 'N') + "\r\n";
    return list;
}

// The import of the longest list through the Open dialog, with kvrnames.csv written.
void BM_ImportLongestNameList(benchmark::State& state) {
    FakePlatform os;
    os.files.Put("C:\\names.txt", LongestNameList());
    for (auto _ : state) {
        kavri::formKavriMeter form(os.platform());
        os.windowing.chosenFiles.push_back("C:\\names.txt");
        form.ImportGameNames();
        if (form.nameList.Size() != 100000) state.SkipWithError("names lost");
    }
}
BENCHMARK(BM_ImportLongestNameList)->Unit(benchmark::kMillisecond);

// A start with every file at its largest: statistics, totals, the diary built from the runs list,
// and 100,000 imported names.
void BM_StartUpWithTheLargestFiles(benchmark::State& state) {
    FakePlatform os;
    {
        kavri::formKavriMeter source(os.platform());
        Fill(source, 32767);
        source.SaveStats();
        source.LoadTotals();
        source.SaveTotals();
        os.files.Put("C:\\names.txt", LongestNameList());
        os.windowing.chosenFiles.push_back("C:\\names.txt");
        source.ImportGameNames();
    }
    const std::map<std::string, std::string> disk = os.files.All();
    for (auto _ : state) {
        os.files.PutAll(disk);
        kavri::formKavriMeter form(os.platform());
        form.Form_Load();
    }
}
BENCHMARK(BM_StartUpWithTheLargestFiles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
