// kestrel-batch's commands in the process, as the program runs them: a response on the
// longest record (read, run, both files written and flushed) and a table of 1,000 rows of
// the default case. The time from start to exit adds the program's loading to the first;
// measure it with hyperfine on the built program.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/batch/BatchCommands.h"
#include "files/WaveFile.h"
#include "runtime/Conversions.h"

namespace kestrel::batch {
namespace {

namespace fs = std::filesystem;

struct BenchFolder {
    fs::path path = fs::temp_directory_path() / ("kestrel-batch-bench-" + std::to_string(getpid()));
    BenchFolder() { fs::create_directories(path); }
    ~BenchFolder() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
};

void Run(benchmark::State& bench, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    if (RunBatch(args, out, err) != 0) bench.SkipWithError(err.str().c_str());
}

void BM_BatchResponseLongestRecord(benchmark::State& bench) {
    const BenchFolder folder;
    {
        std::ofstream wave(folder / "wave.txt", std::ios::binary);
        wave << "0.01\r\n";
        for (int k = 1; k < kMaxWaveNumbers; ++k) {
            wave << NumberText(300 * std::sin(k * 0.0628) * std::exp(-k * 5e-5)) << "\r\n";
        }
    }
    for (auto _ : bench) Run(bench, {"response", "--wave", folder / "wave.txt", folder / "r"});
}
BENCHMARK(BM_BatchResponseLongestRecord)->Unit(benchmark::kMillisecond);

void BM_BatchTable1000Rows(benchmark::State& bench) {
    const BenchFolder folder;
    {
        std::ofstream params(folder / "params.csv", std::ios::binary);
        params << "base\r\n";
        for (int row = 0; row < 1000; ++row) params << "r" << row << "\r\n";
    }
    for (auto _ : bench) Run(bench, {"table", folder / "params.csv", folder / "out"});
}
BENCHMARK(BM_BatchTable1000Rows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace kestrel::batch
