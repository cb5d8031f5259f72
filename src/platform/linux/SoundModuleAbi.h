// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <alsa/asoundlib.h>

// The C interface between the program and its sound module, sarvendo-sound.so beside the
// program. The module is what links ALSA: the program loads it when it first plays a wave,
// so a program whose sounds are off (as they are unless chosen) never maps ALSA at all.
// The module hands out ALSA's own functions, resolved when it was loaded.
extern "C" {

// Bumped whenever the table below changes; the program refuses other versions.
inline constexpr int kSoundModuleAbiVersion = 1;

struct SarvendoSoundCalls
{
    decltype(&snd_lib_error_set_handler) errorSetHandler;
    decltype(&snd_pcm_open) open;
    decltype(&snd_pcm_close) close;
    decltype(&snd_pcm_nonblock) nonblock;
    decltype(&snd_pcm_set_params) setParams;
    decltype(&snd_pcm_writei) writei;
    decltype(&snd_pcm_recover) recover;
    decltype(&snd_pcm_drain) drain;
};

using SarvendoSoundAbiVersionFn = int (*)();
using SarvendoSoundCallsFn = const SarvendoSoundCalls* (*)();
}

inline constexpr const char* kSoundModuleFileName = "sarvendo-sound.so";
inline constexpr const char* kSarvendoSoundAbiVersionSymbol = "sarvendo_sound_abi_version";
inline constexpr const char* kSarvendoSoundCallsSymbol = "sarvendo_sound_calls";
