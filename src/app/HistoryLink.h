// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "line/LineSession.h"
#include "monitor/HistoryHost.h"

#include <functional>
#include <string>

namespace sarvendo {

class HistoryRecorder;
struct Settings;

// The poll cycle's reports handed to the history recorder, with the port watched at the
// time and the device behind it.
class HistoryLink final : public HistoryHost
{
public:
    HistoryLink(const Settings& settings, HistoryRecorder& recorder, std::function<std::string(int port)> deviceOf)
        : m_settings(settings), m_recorder(recorder), m_deviceOf(std::move(deviceOf))
    {
    }

    void CarrierRose() override;
    void CarrierFell(std::int64_t sent, std::int64_t received, const std::string& speed) override;
    void RingRose() override;
    void Counted(bool carrier, std::int64_t sent, std::int64_t received, const std::string& speed) override;

private:
    const Settings& m_settings;
    HistoryRecorder& m_recorder;
    std::function<std::string(int port)> m_deviceOf;
};

// The line session, telling the history when Sarvendo itself hangs up (the menu's
// "Hang-up NOW!", the setup dialog's button or the automatic disconnect), so that the
// carrier loss that follows is recorded as its hang-up.
class HistoryLineSession final : public LineSession
{
public:
    HistoryLineSession(HistoryRecorder& recorder, Settings& settings, LinePlatform line, const Clock& clock,
                       const Directories& directories, MessageBoxes& boxes)
        : LineSession(settings, line, clock, directories, boxes), m_recorder(recorder)
    {
    }

    HangUpResult HangUp() override;

private:
    HistoryRecorder& m_recorder;
};

} // namespace sarvendo
