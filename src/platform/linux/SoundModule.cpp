// SPDX-License-Identifier: GPL-3.0-or-later
// The sound module, built as sarvendo-sound.so beside the program: the one part of it that
// links ALSA.

#include "platform/linux/SoundModuleAbi.h"

namespace {

const SarvendoSoundCalls kCalls{&snd_lib_error_set_handler, &snd_pcm_open,   &snd_pcm_close,   &snd_pcm_nonblock,
                                &snd_pcm_set_params,        &snd_pcm_writei, &snd_pcm_recover, &snd_pcm_drain};

} // namespace

extern "C" {

__attribute__((visibility("default"))) int sarvendo_sound_abi_version()
{
    return kSoundModuleAbiVersion;
}

__attribute__((visibility("default"))) const SarvendoSoundCalls* sarvendo_sound_calls()
{
    return &kCalls;
}
}
