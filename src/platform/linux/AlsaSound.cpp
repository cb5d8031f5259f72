// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlsaSound.h"

#include "platform/linux/LinuxDirectories.h"
#include "platform/linux/ModuleFile.h"
#include "platform/linux/SoundModuleAbi.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <memory>

namespace sarvendo {
namespace {

// Event sounds are short; a larger "wave" is almost certainly the wrong file, and
// reading it whole would stall the program for no good.
constexpr std::uintmax_t kMaxWaveBytes = 64U * 1024U * 1024U;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::uint16_t kMaxChannels = 8;
constexpr std::uint32_t kMaxSampleRate = 768000;
constexpr unsigned kLatencyUs = 200000;

std::uint32_t Read32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8U * i);
    }
    return value;
}

std::uint16_t Read16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8U));
}

std::optional<snd_pcm_format_t> AlsaFormat(std::uint16_t bitsPerSample)
{
    switch (bitsPerSample) {
    case 8:
        return SND_PCM_FORMAT_U8;
    case 16:
        return SND_PCM_FORMAT_S16_LE;
    case 24:
        return SND_PCM_FORMAT_S24_3LE;
    case 32:
        return SND_PCM_FORMAT_S32_LE;
    default:
        return std::nullopt;
    }
}

// Closes the playback handle on every way out.
class PcmHandle
{
public:
    explicit PcmHandle(const SarvendoSoundCalls& alsa) : m_alsa(alsa) {}
    ~PcmHandle()
    {
        if (m_pcm != nullptr) {
            m_alsa.close(m_pcm);
        }
    }
    PcmHandle(const PcmHandle&) = delete;
    PcmHandle& operator=(const PcmHandle&) = delete;

    snd_pcm_t** Out() { return &m_pcm; }
    snd_pcm_t* Get() const { return m_pcm; }

private:
    const SarvendoSoundCalls& m_alsa;
    snd_pcm_t* m_pcm = nullptr;
};

// A machine without sound hardware is normal for this program; the default sound
// covers it, so ALSA's own complaints on standard error are only noise.
void QuietAlsa(const char* /*file*/, int /*line*/, const char* /*function*/, int /*error*/, const char* /*format*/, ...)
{
}

} // namespace

AlsaSound::AlsaSound(std::function<void()> defaultSound, std::string device, PcmOpen open, std::string modulePath,
                     Report report)
    : m_defaultSound(std::move(defaultSound)), m_device(std::move(device)), m_open(std::move(open)),
      m_modulePath(std::move(modulePath)), m_report(std::move(report))
{
    if (m_modulePath.empty()) {
        m_modulePath = LinuxDirectories().ProgramDirectory() + "/" + kSoundModuleFileName;
    }
    if (!m_report) {
        // C stdio: the C++ streams would load the library's locale machinery for this line.
        m_report = [](const std::string& text) { std::fprintf(stderr, "Sarvendo: %s\n", text.c_str()); };
    }
}

const SarvendoSoundCalls* AlsaSound::Calls()
{
    if (m_loadTried) {
        return m_calls;
    }
    m_loadTried = true;
    // Stays loaded for the rest of the run: ALSA keeps its configuration, and the device
    // plug-ins it loads, for the next sound.
    std::string why;
    void* library = OpenModuleFile(m_modulePath, why);
    if (library == nullptr) {
        m_report("sounds play as the default sound: " + why);
        return nullptr;
    }
    const auto version = ModuleFunction<SarvendoSoundAbiVersionFn>(library, kSarvendoSoundAbiVersionSymbol);
    const auto calls = ModuleFunction<SarvendoSoundCallsFn>(library, kSarvendoSoundCallsSymbol);
    if (version == nullptr || calls == nullptr || version() != kSoundModuleAbiVersion || calls() == nullptr) {
        m_report("sounds play as the default sound: " + m_modulePath + " is not a sound module of this version");
        ::dlclose(library);
        return nullptr;
    }
    m_calls = calls();
    m_calls->errorSetHandler(&QuietAlsa);
    return m_calls;
}

void AlsaSound::PlayWave(const std::string& path)
{
    const std::optional<Wave> wave = ReadWave(path);
    if (!wave || !Play(*wave)) {
        Beep();
    }
}

void AlsaSound::Beep()
{
    if (m_defaultSound) {
        m_defaultSound();
    }
}

std::optional<AlsaSound::Wave> AlsaSound::ReadWave(const std::string& path)
{
    // Only a regular file: opening a FIFO or a device named by mistake could block the
    // program for good.
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    // C stdio: the C++ file streams would load the library's locale machinery and keep it
    // for the rest of the run.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!in || std::fseek(in.get(), 0, SEEK_END) != 0) {
        return std::nullopt;
    }
    const long size = std::ftell(in.get());
    if (size <= 0 || static_cast<std::uintmax_t>(size) > kMaxWaveBytes || std::fseek(in.get(), 0, SEEK_SET) != 0) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (std::fread(bytes.data(), 1, bytes.size(), in.get()) != bytes.size()) {
        return std::nullopt;
    }
    return ParseWave(bytes);
}

std::optional<AlsaSound::Wave> AlsaSound::ParseWave(std::string_view bytes)
{
    constexpr std::size_t kRiffHeader = 12;
    constexpr std::size_t kChunkHeader = 8;
    constexpr std::size_t kFormatSize = 16;
    if (bytes.size() < kRiffHeader || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        return std::nullopt;
    }
    Wave wave;
    bool haveFormat = false;
    std::size_t at = kRiffHeader;
    while (bytes.size() - at >= kChunkHeader) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t declared = Read32(bytes, at + 4);
        at += kChunkHeader;
        // A data chunk that claims more than the file holds is played as far as it goes.
        const std::size_t size = std::min<std::size_t>(declared, bytes.size() - at);
        if (id == "fmt ") {
            if (size < kFormatSize) {
                return std::nullopt;
            }
            std::uint16_t tag = Read16(bytes, at);
            if (tag == kFormatExtensible && size >= 26) {
                tag = Read16(bytes, at + 24); // the sub-format's first two bytes
            }
            wave.channels = Read16(bytes, at + 2);
            wave.sampleRate = Read32(bytes, at + 4);
            wave.bitsPerSample = Read16(bytes, at + 14);
            if (tag != kFormatPcm || wave.channels == 0 || wave.channels > kMaxChannels || wave.sampleRate == 0 ||
                wave.sampleRate > kMaxSampleRate || !AlsaFormat(wave.bitsPerSample)) {
                return std::nullopt;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                return std::nullopt;
            }
            const std::size_t frameBytes = std::size_t{wave.channels} * (wave.bitsPerSample / 8U);
            const std::size_t usable = size - size % frameBytes;
            if (usable == 0) {
                return std::nullopt;
            }
            const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.data() + at);
            wave.samples.assign(begin, begin + usable);
            return wave;
        }
        // Chunks are padded to an even length.
        const std::size_t advance = size + (size % 2);
        if (advance > bytes.size() - at) {
            break;
        }
        at += advance;
    }
    return std::nullopt;
}

bool AlsaSound::Play(const Wave& wave)
{
    const SarvendoSoundCalls* const alsa = Calls();
    if (alsa == nullptr) {
        return false;
    }
    PcmHandle pcm(*alsa);
    // A device that another program holds would make a blocking open wait until it is
    // free, with the window frozen meanwhile; the default sound is played instead. Once
    // open, playing blocks again so that the sound has been heard when this returns.
    const int opened = m_open ? m_open(pcm.Out(), m_device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK)
                              : alsa->open(pcm.Out(), m_device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (opened < 0 || pcm.Get() == nullptr || alsa->nonblock(pcm.Get(), 0) < 0) {
        return false;
    }
    if (alsa->setParams(pcm.Get(), *AlsaFormat(wave.bitsPerSample), SND_PCM_ACCESS_RW_INTERLEAVED, wave.channels,
                        wave.sampleRate, 1, kLatencyUs) < 0) {
        return false;
    }
    const std::size_t frameBytes = std::size_t{wave.channels} * (wave.bitsPerSample / 8U);
    const auto frames = static_cast<snd_pcm_uframes_t>(wave.samples.size() / frameBytes);
    snd_pcm_uframes_t done = 0;
    while (done < frames) {
        snd_pcm_sframes_t written = alsa->writei(pcm.Get(), wave.samples.data() + done * frameBytes, frames - done);
        if (written < 0) {
            written = alsa->recover(pcm.Get(), static_cast<int>(written), 1);
            if (written < 0) {
                return false;
            }
            continue;
        }
        done += static_cast<snd_pcm_uframes_t>(written);
    }
    // Returns only when the device has played the last sample.
    alsa->drain(pcm.Get());
    return true;
}

} // namespace sarvendo
