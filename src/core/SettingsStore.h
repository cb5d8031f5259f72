// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Layouts.h"
#include "core/Settings.h"

#include "platform/Screen.h"
#include "platform/TextFiles.h"

#include <string>

namespace sarvendo {

class Directories;
class IniFile;

inline constexpr const char* kMainSection = "Sarvendo: Main";

// The INI file's path: the Windows directory plus "SARVENDO.INI".
std::string SettingsFilePath(const Directories& directories);

// "Sarvendo on COM" and the port number.
std::string PortSectionName(std::int32_t port);

// Reads "EditorName" and every per-port key of the section of settings.DefaultPort,
// applying the load rules; "TotalConnectNew" is held within ten million days either way.
// A negative port stops after "EditorName". Does not read
// "Default Port" or "Show Logo at Startup". Any problem with the file gives defaults.
void LoadSettings(Settings& settings, const IniFile& file, ScreenSize screen);
void LoadSettings(const TextFiles& files, Settings& settings, const std::string& iniPath, ScreenSize screen);

// Writes "EditorName" and the per-port keys of settings.DefaultPort; nothing at all for
// port 0. Says why when the file was left as it was (it could not be read, it is
// read-only, the save failed), for the caller to tell the user.
TextFileSave SaveSettings(const TextFiles& files, Settings& settings, const std::string& iniPath);

// The start-up reads of the two global keys: a negative "Default Port" reads as 0.
std::int32_t ReadDefaultPort(const IniFile& file);
std::int32_t ReadDefaultPort(const TextFiles& files, const std::string& iniPath);
std::int32_t ReadShowLogoAtStartup(const IniFile& file);
std::int32_t ReadShowLogoAtStartup(const TextFiles& files, const std::string& iniPath);

// Everything shutdown writes, as one replacement of the file: "Default Port" and the
// port's section when a port is monitored, then "Show Logo at Startup".
TextFileSave SaveSettingsAtShutdown(const TextFiles& files, Settings& settings, const std::string& iniPath);

} // namespace sarvendo
