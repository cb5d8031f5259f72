#pragma once

#include "app/Settings.h"
#include "platform/Screen.h"

#include <string>

namespace sarvendo {

class Directories;

inline constexpr const char* kMainSection = "Sarvendo: Main";

// The INI file's path: the Windows directory plus "SARVENDO.INI".
std::string SettingsFilePath(const Directories& directories);

// "Sarvendo on COM" and the port number.
std::string PortSectionName(std::int32_t port);

// The window size of a layout, as the position check on load uses it. Layouts without
// a size of their own (an absolute "NewOrientation" above 5) are checked with the size of
// layout 3, the default.
struct LayoutSize
{
    int width = 0;
    int height = 0;
};
LayoutSize LayoutWindowSize(std::int32_t orientation);

// Reads "EditorName" and every per-port key of the section of settings.DefaultPort,
// applying the load rules. A negative port stops after "EditorName". Does not read
// "Default Port" or "Show Logo at Startup". Any problem with the file gives defaults.
void LoadSettings(Settings& settings, const std::string& iniPath, ScreenSize screen);

// Writes "EditorName" and the per-port keys of settings.DefaultPort; nothing at all for
// port 0. Returns false when the file could not be written (the caller stays silent, as
// the program always has, but tests can tell).
bool SaveSettings(Settings& settings, const std::string& iniPath);

// The start-up reads of the two global keys: a negative "Default Port" reads as 0.
std::int32_t ReadDefaultPort(const std::string& iniPath);
std::int32_t ReadShowLogoAtStartup(const std::string& iniPath);

// Everything shutdown writes, as one replacement of the file: "Default Port" and the
// port's section when a port is monitored, then "Show Logo at Startup".
bool SaveSettingsAtShutdown(Settings& settings, const std::string& iniPath);

} // namespace sarvendo
