// Speed of the file formats at their largest: reading a wave file of 32,766 numbers, a
// K-NET record of 30,000 samples (a 300-second record at 100 Hz) and a parameter table of
// 10,000 rows, and writing the 32,765 rows of the longest run's time-history file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/RunFromTexts.h"
#include "files/ResultFiles.h"
#include "files/TableReader.h"
#include "files/WaveFile.h"
#include "runtime/Conversions.h"
#include "runtime/TextEncoding.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// A folder of its own under the system's temporary folder, removed at the end.
struct BenchFolder {
    fs::path path = fs::temp_directory_path() / ("kestrel-files-bench-" + std::to_string(getpid()));
    BenchFolder() { fs::create_directories(path); }
    ~BenchFolder() { fs::remove_all(path); }
};

void BM_ReadLongestWaveFile(benchmark::State& bench) {
    const BenchFolder folder;
    const std::string path = (folder.path / "wave.txt").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "0.01\r\n";
        for (int k = 1; k < kMaxWaveNumbers; ++k) {
            out << NumberText(300 * std::sin(k * 0.0628) + k * 1e-3) << "\r\n";
        }
    }
    for (auto _ : bench) {
        const WaveReadResult r = ReadWaveFile(path);
        if (!r.ok() || r.record.Count() != kMaxWaveNumbers) bench.SkipWithError("not read");
        benchmark::DoNotOptimize(r.record.samples.data());
    }
}

// A K-NET record as the network writes it: 17 header lines, then 30,000 counts eight to
// a line.
void BM_ReadKnetRecord30000(benchmark::State& bench) {
    const BenchFolder folder;
    const std::string path = (folder.path / "MYG0041103111446.NS").string();
    {
        std::ofstream out(path, std::ios::binary);
        const char* const header[] = {
            "Origin Time       2011/03/11 14:46:00",
            "Lat.              38.103",
            "Long.             142.860",
            "Depth. (km)       24",
            "Mag.              9.0",
            "Station Code      MYG004",
            "Station Lat.      38.7292",
            "Station Long.     141.0217",
            "Station Height(m) 230",
            "Record Time       2011/03/11 14:47:03",
            "Sampling Freq(Hz) 100Hz",
            "Duration Time(s)  300",
            "Dir.              N-S",
            "Scale Factor      3920(gal)/6182761",
            "Max. Acc. (gal)   2699.617",
            "Last Correction   2011/03/11 14:46:48",
            "Memo.",
        };
        for (const char* line : header) out << line << "\n";
        char item[16];
        for (int k = 0; k < 30000; ++k) {
            std::snprintf(item, sizeof item, " %8ld", std::lround(3e6 * std::sin(k * 0.0628)));
            out << item << (k % 8 == 7 ? "\n" : "");
        }
    }
    for (auto _ : bench) {
        const WaveReadResult r = ReadWaveFile(path);
        if (!r.ok() || r.record.samples.size() != 30000) bench.SkipWithError("not read");
        benchmark::DoNotOptimize(r.record.samples.data());
    }
}

// A parameter table of 10,000 rows, as a class's spreadsheet saves it: six columns, the
// base names in Japanese, one quoted cell a row. Argument 0 reads it as UTF-8, 1 as CP932.
void BM_ReadTable10000Rows(benchmark::State& bench) {
    const BenchFolder folder;
    const std::string path = (folder.path / "params.csv").string();
    {
        std::string text = "base,stiffness,damping,case,wave,component\r\n";
        for (int row = 0; row < 10000; ++row) {
            text += "学生" + std::to_string(row) + "," + std::to_string(200 + row % 300) +
                    ",\"2.5\",steady-displacement,records/20110311.csv,EW\r\n";
        }
        std::ofstream out(path, std::ios::binary);
        out << (bench.range(0) == 0 ? text : *Utf8ToCp932(text));
    }
    for (auto _ : bench) {
        const TableReadResult r = ReadTableFile(path);
        if (!r.ok() || r.rows.size() != 10001) bench.SkipWithError("not read");
        benchmark::DoNotOptimize(r.rows.data());
    }
}
BENCHMARK(BM_ReadTable10000Rows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The longest run: 32,766 points, so 32,765 rows.
RunOutcome LongestRun() {
    RunTexts texts;
    texts.analysisTime = "327.64";
    return RunFromTexts(texts, ExcitationCase::SteadyDisplacement, {});
}

void BM_WriteLongestHistoryFile(benchmark::State& bench) {
    const RunOutcome run = LongestRun();
    for (auto _ : bench) {
        std::ostringstream out;
        WriteHistoryFile(out, *run.response, std::nullopt);
        benchmark::DoNotOptimize(out.str().size());
    }
}

void BM_WriteLongestHistoryFileAsDisplacement(benchmark::State& bench) {
    const RunOutcome run = LongestRun();
    for (auto _ : bench) {
        std::ostringstream out;
        WriteHistoryFile(out, *run.response, 1.0);
        benchmark::DoNotOptimize(out.str().size());
    }
}

// The whole save of the longest run onto the disk, both files flushed and renamed.
void BM_SaveLongestRun(benchmark::State& bench) {
    const BenchFolder folder;
    const RunOutcome run = LongestRun();
    const ParameterValues values = ParameterValuesFromTexts({}, run.inputs->naturalPeriod);
    for (auto _ : bench) {
        const SaveOutcome outcome =
            SaveResults(folder.path.string(), "bench", values, *run.response, std::nullopt);
        if (!outcome.ok()) bench.SkipWithError("save failed");
    }
}

BENCHMARK(BM_ReadLongestWaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadKnetRecord30000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteLongestHistoryFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLongestHistoryFileAsDisplacement)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLongestRun)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrel
