// Speed of the file formats at their largest: reading a wave file of 32,766 numbers and
// writing the 32,765 rows of the longest run's time-history file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "analysis/Run.h"
#include "files/ResultFiles.h"
#include "files/WaveFile.h"
#include "runtime/Conversions.h"

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

// The longest run: 32,766 points, so 32,765 rows.
std::unique_ptr<AnalysisState> LongestRun() {
    auto state = std::make_unique<AnalysisState>();
    RunTexts texts;
    texts.analysisTime = "327.64";
    RunAnalysis(*state, texts, ExcitationCase::SteadyDisplacement, {});
    return state;
}

void BM_WriteLongestHistoryFile(benchmark::State& bench) {
    const auto state = LongestRun();
    for (auto _ : bench) {
        std::ostringstream out;
        WriteHistoryFile(out, *state, std::nullopt);
        benchmark::DoNotOptimize(out.str().size());
    }
}

void BM_WriteLongestHistoryFileAsDisplacement(benchmark::State& bench) {
    const auto state = LongestRun();
    for (auto _ : bench) {
        std::ostringstream out;
        WriteHistoryFile(out, *state, 1.0);
        benchmark::DoNotOptimize(out.str().size());
    }
}

// The whole save of the longest run onto the disk, both files flushed and renamed.
void BM_SaveLongestRun(benchmark::State& bench) {
    const BenchFolder folder;
    const auto state = LongestRun();
    const ParameterValues values = ParameterValuesFromTexts({}, state->NaturalPeriod);
    for (auto _ : bench) {
        const SaveOutcome outcome =
            SaveResults(folder.path.string(), "bench", values, *state, std::nullopt);
        if (!outcome.ok()) bench.SkipWithError("save failed");
    }
}

BENCHMARK(BM_ReadLongestWaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLongestHistoryFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLongestHistoryFileAsDisplacement)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLongestRun)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrel
