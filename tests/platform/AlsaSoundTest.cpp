// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/AlsaSound.h"

#include "fakes/TempDir.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace sarvendo {
namespace {

void Put16(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFFU);
    out += static_cast<char>((value >> 8U) & 0xFFU);
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFFU);
    Put16(out, value >> 16U);
}

// A PCM wave file: a format chunk, an unrelated chunk of odd length, and the samples.
std::string Wave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, const std::string& samples,
                 std::uint16_t tag = 1)
{
    std::string body = "WAVE";
    body += "fmt ";
    Put32(body, 16);
    Put16(body, tag);
    Put16(body, channels);
    Put32(body, rate);
    Put32(body, rate * channels * bits / 8U);
    Put16(body, static_cast<unsigned>(channels * bits / 8U));
    Put16(body, bits);
    body += "LIST";
    Put32(body, 3);
    body += "abc";
    body += '\0'; // padding to an even length
    body += "data";
    Put32(body, static_cast<std::uint32_t>(samples.size()));
    body += samples;
    std::string file = "RIFF";
    Put32(file, static_cast<std::uint32_t>(body.size()));
    return file + body;
}

TEST(AlsaSoundWave, ReadsPcmSamples)
{
    const std::string samples = "\x01\x02\x03\x04\x05\x06\x07\x08";
    const auto wave = AlsaSound::ParseWave(Wave(2, 22050, 16, samples));
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->channels, 2);
    EXPECT_EQ(wave->sampleRate, 22050U);
    EXPECT_EQ(wave->bitsPerSample, 16);
    EXPECT_EQ(std::string(wave->samples.begin(), wave->samples.end()), samples);
}

TEST(AlsaSoundWave, RefusesWhatItCannotPlay)
{
    EXPECT_FALSE(AlsaSound::ParseWave(""));
    EXPECT_FALSE(AlsaSound::ParseWave("RIFF\x04\0\0\0WAVE"));
    EXPECT_FALSE(AlsaSound::ParseWave("just some text that is not a wave file"));
    EXPECT_FALSE(AlsaSound::ParseWave(Wave(1, 8000, 8, "abcd", 2))); // compressed
    EXPECT_FALSE(AlsaSound::ParseWave(Wave(1, 8000, 12, "abcd")));   // odd sample size
    EXPECT_FALSE(AlsaSound::ParseWave(Wave(0, 8000, 8, "abcd")));    // no channels
    EXPECT_FALSE(AlsaSound::ParseWave(Wave(1, 0, 8, "abcd")));       // no rate
    EXPECT_FALSE(AlsaSound::ParseWave(Wave(2, 8000, 16, "ab")));     // less than one frame
    EXPECT_FALSE(AlsaSound::ParseWave(Wave(99, 8000, 16, "abcd")));  // absurd channel count
}

TEST(AlsaSoundWave, TruncatedDataIsPlayedAsFarAsItGoes)
{
    std::string file = Wave(1, 8000, 16, "abcdef");
    // Claim far more data than there is, and cut the last sample in half.
    file.replace(file.size() - 6 - 4, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    file.pop_back();
    const auto wave = AlsaSound::ParseWave(file);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->samples.size(), 4U);
}

TEST(AlsaSoundWave, HostileChunkSizesEndTheWalk)
{
    std::string file = "RIFF";
    Put32(file, 100);
    file += "WAVE";
    file += "junk";
    Put32(file, 0xFFFFFFF0U);
    file += "xy";
    EXPECT_FALSE(AlsaSound::ParseWave(file));
}

TEST(AlsaSound, MissingOrBrokenFilePlaysTheDefaultSound)
{
    fakes::TempDir dir;
    int beeps = 0;
    AlsaSound sound([&] { ++beeps; }, "null");
    sound.PlayWave(dir.File("missing.wav"));
    EXPECT_EQ(beeps, 1);
    sound.PlayWave("");
    EXPECT_EQ(beeps, 2);
    fakes::TempDir::Write(dir.File("text.wav"), "not a wave");
    sound.PlayWave(dir.File("text.wav"));
    EXPECT_EQ(beeps, 3);
    // A directory, or a FIFO that would block a reader forever.
    sound.PlayWave(dir.Path());
    EXPECT_EQ(beeps, 4);
    ASSERT_EQ(mkfifo(dir.File("fifo.wav").c_str(), 0600), 0);
    sound.PlayWave(dir.File("fifo.wav"));
    EXPECT_EQ(beeps, 5);
    sound.Beep();
    EXPECT_EQ(beeps, 6);
}

TEST(AlsaSound, NoDeviceGivesTheDefaultSound)
{
    fakes::TempDir dir;
    fakes::TempDir::Write(dir.File("ring.wav"), Wave(1, 8000, 8, std::string(80, '\x80')));
    int beeps = 0;
    AlsaSound sound([&] { ++beeps; }, "no_such_device_at_all");
    sound.PlayWave(dir.File("ring.wav"));
    EXPECT_EQ(beeps, 1);
}

TEST(AlsaSound, BusyDeviceGivesTheDefaultSoundWithoutWaiting)
{
    fakes::TempDir dir;
    fakes::TempDir::Write(dir.File("ring.wav"), Wave(1, 8000, 8, std::string(80, '\x80')));
    int beeps = 0;
    int blockingOpens = 0;
    // Another program holds the device: a non-blocking open answers EBUSY at once, a
    // blocking one would wait until the device is free, with the window frozen.
    AlsaSound sound([&] { ++beeps; }, "hw:0",
                    [&](_snd_pcm**, const char*, int, int mode) {
                        blockingOpens += (mode & SND_PCM_NONBLOCK) == 0 ? 1 : 0;
                        return -EBUSY;
                    });
    sound.PlayWave(dir.File("ring.wav"));
    EXPECT_EQ(blockingOpens, 0);
    EXPECT_EQ(beeps, 1);
}

TEST(AlsaSound, WithoutItsModuleEveryWaveGivesTheDefaultSoundAndTheReasonOnce)
{
    fakes::TempDir dir;
    fakes::TempDir::Write(dir.File("ring.wav"), Wave(1, 8000, 8, std::string(80, '\x80')));
    fakes::TempDir::Write(dir.File("text.so"), "not a library");
    for (const std::string& module : {dir.File("missing.so"), dir.File("text.so")}) {
        int beeps = 0;
        std::vector<std::string> reports;
        AlsaSound sound([&] { ++beeps; }, "null", {}, module,
                        [&](const std::string& text) { reports.push_back(text); });
        sound.PlayWave(dir.File("ring.wav"));
        sound.PlayWave(dir.File("ring.wav"));
        EXPECT_EQ(beeps, 2) << module;
        ASSERT_EQ(reports.size(), 1U) << module;
        EXPECT_NE(reports[0].find("sounds play as the default sound: " + module), std::string::npos) << reports[0];
    }
}

TEST(AlsaSound, WaveReachesTheDevice)
{
    // ALSA's configuration pointed at a file sink, so the played samples land in a file.
    fakes::TempDir dir;
    const std::string sink = dir.File("played.raw");
    const std::string config = dir.File("asound.conf");
    fakes::TempDir::Write(config,
                          "pcm.sink { type file slave { pcm { type null } } file \"" + sink + "\" format \"raw\" }\n");
    ASSERT_EQ(setenv("ALSA_CONFIG_PATH", config.c_str(), 1), 0);
    std::string samples;
    for (int i = 0; i < 800; ++i) {
        samples += static_cast<char>(i % 256);
    }
    fakes::TempDir::Write(dir.File("ring.wav"), Wave(1, 8000, 8, samples));
    int beeps = 0;
    AlsaSound sound([&] { ++beeps; }, "sink");
    sound.PlayWave(dir.File("ring.wav"));
    unsetenv("ALSA_CONFIG_PATH");
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(fakes::TempDir::Read(sink), samples);
}

} // namespace
} // namespace sarvendo
