// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include "platform/linux/PosixTextFiles.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

namespace {

const sarvendo::PosixTextFiles kFiles;

std::string BenchPath()
{
    return (std::filesystem::temp_directory_path() / ("sarvendo-bench-" + std::to_string(getpid()) + ".ini")).string();
}

// A whole load of one port's section, as start-up and a port switch do it.
void LoadOnePort(benchmark::State& state)
{
    const std::string path = BenchPath();
    sarvendo::Settings settings;
    settings.DefaultPort = 1;
    sarvendo::SaveSettings(kFiles, settings, path);
    for (auto _ : state) {
        sarvendo::LoadSettings(kFiles, settings, path, {1024, 768});
        benchmark::DoNotOptimize(settings.NewOrientation);
    }
    std::filesystem::remove(path);
}
BENCHMARK(LoadOnePort);

// A save that changes one value: one atomic replacement of the file, with its fsync.
void SaveChangedPort(benchmark::State& state)
{
    const std::string path = BenchPath();
    sarvendo::Settings settings;
    settings.DefaultPort = 1;
    for (auto _ : state) {
        settings.TotalConnectNew += 1.0 / 86400.0;
        sarvendo::SaveSettings(kFiles, settings, path);
    }
    std::filesystem::remove(path);
}
BENCHMARK(SaveChangedPort);

} // namespace
