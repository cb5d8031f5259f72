// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the default start-up sound: a short rising chirp as a 16-bit mono PCM WAV file.
// It is generated rather than kept as a binary so that the repository holds only its
// recipe, and it is deliberately quiet, since it plays at every start.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kSampleRate = 44100;
constexpr double kSeconds = 0.5;
constexpr double kStartHz = 660.0;
constexpr double kEndHz = 1320.0;
// About a third of full scale: audible, never harsh.
constexpr double kPeak = 0.3;
// A soft start and end keep the speaker from clicking.
constexpr double kAttackSeconds = 0.01;
constexpr double kReleaseSeconds = 0.06;

std::vector<std::int16_t> Chirp()
{
    const auto count = static_cast<std::size_t>(kSampleRate * kSeconds);
    std::vector<std::int16_t> samples(count);
    double phase = 0.0;
    for (std::size_t index = 0; index < count; ++index) {
        const double t = static_cast<double>(index) / kSampleRate;
        // The pitch rises by an octave on an exponential sweep, which the ear hears as even.
        const double frequency = kStartHz * std::pow(kEndHz / kStartHz, t / kSeconds);
        phase += 2.0 * std::numbers::pi * frequency / kSampleRate;
        double envelope = std::exp(-3.0 * t / kSeconds);
        envelope *= std::min(1.0, t / kAttackSeconds);
        envelope *= std::min(1.0, (kSeconds - t) / kReleaseSeconds);
        // Half the second harmonic gives the tone a little body without raising the peak.
        const double wave = (std::sin(phase) + 0.5 * std::sin(2.0 * phase)) / 1.5;
        samples[index] = static_cast<std::int16_t>(std::lround(wave * envelope * kPeak * 32767.0));
    }
    return samples;
}

void Put(std::string& out, std::uint32_t value, int bytes)
{
    for (int index = 0; index < bytes; ++index) {
        out += static_cast<char>((value >> (8 * index)) & 0xFFU);
    }
}

// A canonical RIFF WAVE file: the format chunk, then the little-endian samples.
std::string WaveFile(const std::vector<std::int16_t>& samples)
{
    constexpr std::uint32_t kChannels = 1;
    constexpr std::uint32_t kBytesPerSample = 2;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * kBytesPerSample);
    std::string file = "RIFF";
    Put(file, 36 + dataBytes, 4);
    file += "WAVEfmt ";
    Put(file, 16, 4);
    Put(file, 1, 2); // PCM
    Put(file, kChannels, 2);
    Put(file, kSampleRate, 4);
    Put(file, kSampleRate * kChannels * kBytesPerSample, 4);
    Put(file, kChannels * kBytesPerSample, 2);
    Put(file, 8 * kBytesPerSample, 2);
    file += "data";
    Put(file, dataBytes, 4);
    for (const std::int16_t sample : samples) {
        Put(file, static_cast<std::uint16_t>(sample), 2);
    }
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sarvendo_startup_sound OUT.wav\n");
        return 2;
    }
    const std::string file = WaveFile(Chirp());
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    if (!out.write(file.data(), static_cast<std::streamsize>(file.size())) || !out.flush()) {
        std::fprintf(stderr, "sarvendo_startup_sound: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
