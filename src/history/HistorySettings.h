// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace sarvendo {

class IniFile;
class TextFiles;
struct Settings;

inline constexpr const char* kHistorySection = "Sarvendo: History";

// "Keep History" (1 by default; 0 records nothing) and "History Days" (0 keeps
// everything; negative reads as 0) of the section "Sarvendo: History".
void LoadHistorySettings(Settings& settings, const IniFile& file);

// Writes both keys into the settings file at once, keeping everything else in it; the
// history window's own settings take effect and are kept the moment they are changed.
bool SaveHistorySettings(const TextFiles& files, const Settings& settings, const std::string& iniPath);

} // namespace sarvendo
