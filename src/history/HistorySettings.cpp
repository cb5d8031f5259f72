// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistorySettings.h"

#include "core/IniFile.h"
#include "core/Settings.h"

namespace sarvendo {

void LoadHistorySettings(Settings& settings, const IniFile& file)
{
    settings.KeepHistory = file.ReadInt(kHistorySection, "Keep History", 1) != 0 ? 1 : 0;
    const std::int32_t days = file.ReadInt(kHistorySection, "History Days", 0);
    settings.HistoryDays = days < 0 ? 0 : days;
}

bool SaveHistorySettings(const TextFiles& files, const Settings& settings, const std::string& iniPath)
{
    IniFile file = IniFile::Load(files, iniPath);
    file.WriteString(kHistorySection, "Keep History", std::to_string(settings.KeepHistory));
    file.WriteString(kHistorySection, "History Days", std::to_string(settings.HistoryDays));
    return !file.Changed() || file.Save(files, iniPath);
}

} // namespace sarvendo
