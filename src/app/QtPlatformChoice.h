// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace sarvendo {

// Which of Qt's platforms this process runs on, when the user has chosen none (neither
// QT_QPA_PLATFORM nor -platform): X11 wherever an X display is there, since the
// single-instance guard and the caption lamps follow other windows through X11, which
// Qt's Wayland backend does not allow (under a Wayland desktop the program then runs on
// XWayland, with Wayland as the fallback should X11 fail); Wayland where only a Wayland
// display is there. Empty leaves the choice to Qt.
std::string ChooseQtPlatform(int argc, const char* const* argv);

// The program's arguments as the application object gets them: "-platform" and the
// choice are added for this process alone. Nothing goes into the environment, so the
// programs this one starts (Auto Run, the editor, the browser) see the user's own.
class QtPlatformArguments
{
public:
    QtPlatformArguments(int argc, char** argv);

    // For the application object, which keeps both for its lifetime.
    int& Count() { return m_count; }
    char** Values() { return m_values.data(); }

private:
    std::vector<std::string> m_added;
    std::vector<char*> m_values;
    int m_count = 0;
};

} // namespace sarvendo
