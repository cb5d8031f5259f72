// SPDX-License-Identifier: GPL-3.0-or-later
#include "EventSounds.h"

#include "core/Settings.h"

#include "platform/Sound.h"

namespace sarvendo {
namespace {

constexpr std::int32_t kPlayWave = 1;
constexpr std::int32_t kBeep = 2;

} // namespace

void EventSounds::Play(SoundEvent event)
{
    std::int32_t choice = 0;
    const std::string* file = nullptr;
    switch (event) {
    case SoundEvent::Ring:
        choice = m_settings.RIPlaySound;
        file = &m_settings.RISound;
        break;
    case SoundEvent::Connect:
        choice = m_settings.ConnectPlaySound;
        file = &m_settings.ConnectSound;
        break;
    case SoundEvent::Disconnect:
        choice = m_settings.DisconnectPlaySound;
        file = &m_settings.DisconnectSound;
        break;
    case SoundEvent::WarnInactive:
        choice = m_settings.WarnInactivePlaySound;
        file = &m_settings.WarnInactiveSound;
        break;
    }
    // The name is handed over whole, however long: a shortened name would name another
    // file, or none, and the user would hear the default sound instead of theirs.
    if (choice == kPlayWave && file != nullptr) {
        m_sound.PlayWave(*file);
    } else if (choice == kBeep) {
        m_sound.Beep();
    }
}

} // namespace sarvendo
