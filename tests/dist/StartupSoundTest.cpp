// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/AlsaSound.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace sarvendo {
namespace {

constexpr double kFullScale = 32768.0;

std::vector<int> Samples(const AlsaSound::Wave& wave)
{
    std::vector<int> samples;
    for (std::size_t at = 0; at + 1 < wave.samples.size(); at += 2) {
        samples.push_back(static_cast<std::int16_t>(wave.samples[at] | (wave.samples[at + 1] << 8U)));
    }
    return samples;
}

// Rising zero crossings in [begin, end): twice the pitch gives twice as many.
int Crossings(const std::vector<int>& samples, std::size_t begin, std::size_t end)
{
    int count = 0;
    for (std::size_t index = begin + 1; index < end; ++index) {
        count += samples[index - 1] < 0 && samples[index] >= 0 ? 1 : 0;
    }
    return count;
}

TEST(StartupSound, IsAShortQuietMonoWaveThePlayerAccepts)
{
    const auto wave = AlsaSound::ReadWave(SARVENDO_STARTUP_WAVE);
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->channels, 1);
    EXPECT_EQ(wave->bitsPerSample, 16);
    EXPECT_EQ(wave->sampleRate, 44100U);
    const double seconds = static_cast<double>(wave->samples.size()) / 2.0 / wave->sampleRate;
    EXPECT_GE(seconds, 0.4);
    EXPECT_LE(seconds, 0.6);

    const std::vector<int> samples = Samples(*wave);
    int peak = 0;
    for (const int sample : samples) {
        peak = std::max(peak, std::abs(sample));
    }
    // Audible, yet well below full scale, since it plays at every start.
    EXPECT_GT(peak / kFullScale, 0.1);
    EXPECT_LT(peak / kFullScale, 0.5);
    // It starts and ends at silence, so the speaker does not click.
    EXPECT_LT(std::abs(samples.front()) / kFullScale, 0.01);
    EXPECT_LT(std::abs(samples.back()) / kFullScale, 0.01);
}

TEST(StartupSound, RisesInPitch)
{
    const auto wave = AlsaSound::ReadWave(SARVENDO_STARTUP_WAVE);
    ASSERT_TRUE(wave.has_value());
    const std::vector<int> samples = Samples(*wave);
    const std::size_t tenth = wave->sampleRate / 10;
    ASSERT_GT(samples.size(), 4 * tenth);
    const int early = Crossings(samples, tenth / 2, tenth / 2 + tenth);
    const int late = Crossings(samples, samples.size() - 2 * tenth, samples.size() - tenth);
    // Half an octave lies between the two windows; a steady tone would give the same count.
    EXPECT_GT(early, 50);
    EXPECT_GT(late, early + early / 4);
}

} // namespace
} // namespace sarvendo
