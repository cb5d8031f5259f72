// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialUpReader.h"

#include "core/Settings.h"

#include "platform/Directories.h"
#include "platform/TickPath.h"

#include <algorithm>
#include <limits>

namespace sarvendo {
namespace {

std::int32_t ClampToInt32(std::uint32_t value)
{
    return static_cast<std::int32_t>(std::min<std::uint32_t>(value, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::string DialUpProgramPath(const Directories& directories)
{
    std::string path = directories.SystemDirectory();
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path + kDialUpProgramName;
}

std::int32_t DetectDialUpKind(const DialUpSource& source, const Directories& directories)
{
    return source.ProgramExists(DialUpProgramPath(directories)) ? 1 : 0;
}

DialUpReader::DialUpReader(DialUpSource& source, const Directories& directories)
    : m_source(source), m_directories(directories)
{
}

SARVENDO_TICK_PATH bool DialUpReader::FindDialUpWindow(Settings& settings)
{
    if (settings.DialUpKind == 0 || settings.DialUpFound == 1) {
        return false;
    }
    const std::string expected = DialUpProgramPath(m_directories);
    const auto processes = m_source.ProcessSnapshot();
    const auto process = std::find_if(processes.begin(), processes.end(),
                                      [&](const DialUpSource::Process& entry) { return entry.executable == expected; });
    if (process == processes.end()) {
        settings.DialUpFound = 0;
        return false;
    }
    const auto windows = m_source.WindowsInZOrder();
    const auto window = std::find_if(windows.begin(), windows.end(),
                                     [&](const DialUpSource::Window& entry) { return entry.processId == process->id; });
    if (window == windows.end()) {
        settings.DialUpFound = 0;
        return false;
    }
    settings.DialUpWindow = window->id;
    const auto className = m_source.ClassName(window->id);
    // The earlier handle goes before a new one is opened, so searching every tick never
    // piles up handles.
    m_process.reset();
    m_process = m_source.OpenProcess(process->id);
    settings.DialUpFound = className && *className == kConnectionClass ? 1 : 0;
    return settings.DialUpFound == 1;
}

SARVENDO_TICK_PATH DialUpReading DialUpReader::ReadDialUpCounters(Settings& settings)
{
    DialUpReading reading;
    reading.newConnection = FindDialUpWindow(settings);
    if (settings.DialUpFound != 1) {
        return reading;
    }
    const std::uint64_t address = m_source.StatisticsAddress(settings.DialUpWindow);
    if (address == 0) {
        settings.DialUpFound = 0;
        return reading;
    }
    // A found connection with a block counts as connected even when the process could not
    // be opened or its block not read: only the counts are missing then.
    reading.connected = true;
    if (!m_process) {
        return reading;
    }
    const auto statistics = m_source.ReadStatistics(*m_process, address);
    if (!statistics) {
        return reading;
    }
    reading.counts.sent = ClampToInt32(statistics->sent);
    reading.counts.received = ClampToInt32(statistics->received);
    reading.counts.speed = ClampToInt32(statistics->speed);
    return reading;
}

void DialUpReader::CloseProcess()
{
    m_process.reset();
}

} // namespace sarvendo
