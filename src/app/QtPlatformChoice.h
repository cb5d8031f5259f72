#pragma once

namespace sarvendo {

// Chooses Qt's X11 backend when an X display is there and the user has chosen no
// platform (neither QT_QPA_PLATFORM nor -platform): the single-instance guard raises the
// running copy, and the caption lamps follow other windows, through X11, which Qt's
// Wayland backend does not allow. Under a Wayland desktop the program then runs on
// XWayland; Wayland stays the fallback should X11 fail. Must run before the application
// object is made.
void PreferX11Backend(int argc, const char* const* argv);

} // namespace sarvendo
