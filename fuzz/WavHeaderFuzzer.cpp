// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a WAV file: the header reader gives a playable description of PCM samples
// that lie inside the file, or nothing.
#include "FuzzCheck.h"

#include "platform/linux/AlsaSound.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sarvendo;
    const auto wave = AlsaSound::ParseWave(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!wave) {
        return 0;
    }
    fuzz::Check(wave->channels >= 1 && wave->channels <= 8, "1 to 8 channels");
    fuzz::Check(wave->bitsPerSample == 8 || wave->bitsPerSample == 16 || wave->bitsPerSample == 24 ||
                    wave->bitsPerSample == 32,
                "8, 16, 24 or 32 bits");
    fuzz::Check(wave->sampleRate > 0, "a sample rate");
    fuzz::Check(wave->samples.size() <= size, "the samples come from the file");
    const std::size_t frame = std::size_t{wave->channels} * (wave->bitsPerSample / 8U);
    fuzz::Check(wave->samples.size() % frame == 0, "whole frames only");
    return 0;
}
