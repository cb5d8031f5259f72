// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

class Sound;
struct Settings;

enum class SoundEvent
{
    Ring,
    Connect,
    Disconnect,
    WarnInactive,
};

// The four event sounds as the user chose them: 1 plays the event's wave file and
// returns when it has played, 2 beeps, anything else is silent.
class EventSounds
{
public:
    EventSounds(const Settings& settings, Sound& sound) : m_settings(settings), m_sound(sound) {}

    void Play(SoundEvent event);

private:
    const Settings& m_settings;
    Sound& m_sound;
};

} // namespace sarvendo
