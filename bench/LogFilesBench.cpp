// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxLogFiles.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

constexpr std::string_view kRecord = "Connected: 09.12.2026 04:50:00  Disconnected: 09.12.2026 05:10:00\r\n";

std::string BenchLog()
{
    return (std::filesystem::temp_directory_path() / ("sarvendo-bench-" + std::to_string(getpid()) + ".DCD")).string();
}

// One record as the tick writes it: the file is looked at, opened, appended to and closed,
// without waiting for the disk.
void AppendRecord(benchmark::State& state)
{
    sarvendo::LinuxLogFiles files;
    const std::string path = BenchLog();
    for (auto _ : state) {
        benchmark::DoNotOptimize(files.Append(path, kRecord));
    }
    std::filesystem::remove(path);
}
BENCHMARK(AppendRecord);

// The tick measures the log's last line before a connect record; the cost must not grow with
// the years of records before it.
void LastLineOfALog(benchmark::State& state)
{
    sarvendo::LinuxLogFiles files;
    const std::string path = BenchLog();
    {
        std::ofstream log(path, std::ios::binary | std::ios::trunc);
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            log << kRecord;
        }
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(files.LastLineLength(path));
    }
    std::filesystem::remove(path);
}
BENCHMARK(LastLineOfALog)->Arg(10)->Arg(100'000);

} // namespace
