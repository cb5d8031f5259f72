// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Sound.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _snd_pcm; // ALSA's playback handle, kept out of this header
struct SarvendoSoundCalls;

namespace sarvendo {

// The program's sounds on Linux: PCM WAV files played through ALSA, returning when the
// last sample has been played, as the event rules expect. A file that is missing,
// unreadable, not PCM WAV, or a machine without a playback device gives the default
// sound, which is the beep handed in (the desktop's bell). So does a device that another
// program holds: it is opened without waiting, since waiting for it would freeze the window.
//
// ALSA comes with the sound module beside the program, loaded when the first wave is
// played. Without the module (or without ALSA) every wave gives the default sound, and
// the reason is reported once.
class AlsaSound final : public Sound
{
public:
    // What PlayWave learned from a file: its sample format and the interleaved samples.
    struct Wave
    {
        std::uint16_t channels = 0;
        std::uint32_t sampleRate = 0;
        std::uint16_t bitsPerSample = 0;
        std::vector<std::uint8_t> samples;
    };

    // How the playback device is opened: snd_pcm_open(pcm, device, stream, mode), 0 or a
    // negative errno. Tests hand in one that plays a device held by another program.
    using PcmOpen = std::function<int(_snd_pcm** pcm, const char* device, int stream, int mode)>;

    using Report = std::function<void(const std::string& text)>;

    // An empty module path is the sound module beside the program; the report defaults
    // to a line on standard error.
    explicit AlsaSound(std::function<void()> defaultSound, std::string device = "default", PcmOpen open = {},
                       std::string modulePath = {}, Report report = {});

    void PlayWave(const std::string& path) override;
    void Beep() override;

    // Reads a RIFF WAVE file of PCM samples (8, 16, 24 or 32 bits, 1 to 8 channels).
    // Anything else, a truncated file or one of absurd size gives nothing.
    static std::optional<Wave> ReadWave(const std::string& path);
    static std::optional<Wave> ParseWave(std::string_view bytes);

private:
    bool Play(const Wave& wave);
    // ALSA's functions from the module, loaded on the first call; null when it cannot be.
    const SarvendoSoundCalls* Calls();

    std::function<void()> m_defaultSound;
    std::string m_device;
    PcmOpen m_open;
    std::string m_modulePath;
    Report m_report;
    const SarvendoSoundCalls* m_calls = nullptr;
    bool m_loadTried = false;
};

} // namespace sarvendo
