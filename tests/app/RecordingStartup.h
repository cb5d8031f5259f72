#pragma once

#include "core/Settings.h"

#include "app/MainWindowDisplay.h"
#include "app/MainWindowEngine.h"
#include "app/StartupLine.h"
#include "platform/Sound.h"

#include <set>
#include <string>
#include <vector>

namespace sarvendo::testing {

// One log shared by the recording doubles below, so a test sees the order in which the
// main window called them across the line, the engine, the display and the sound.
using StepLog = std::vector<std::string>;

class RecordingLine final : public StartupLine
{
public:
    RecordingLine(Settings& settings, StepLog& log) : m_settings(settings), m_log(log) {}

    bool ProbePort(int port) override
    {
        m_log.push_back("ProbePort " + std::to_string(port));
        const bool available = openable.contains(port);
        if (port >= 1 && port <= 4) {
            m_settings.PortAvailable[static_cast<std::size_t>(port - 1)] = available ? 1 : 0;
        }
        return available;
    }
    void SendModemInit() override { m_log.emplace_back("SendModemInit"); }
    void OpenStatusDriver() override
    {
        m_log.emplace_back("OpenStatusDriver");
        m_settings.DriverHandle = driverHandle;
    }
    void ReleaseStatusDriver() override
    {
        m_log.emplace_back("ReleaseStatusDriver");
        m_settings.DriverHandle = 0;
    }
    void CloseDialUpProcess() override { m_log.emplace_back("CloseDialUpProcess"); }
    void DetectDialUpKind() override
    {
        m_log.emplace_back("DetectDialUpKind");
        m_settings.DialUpKind = dialUpKind;
    }

    std::set<int> openable{1, 2, 3, 4};
    std::int32_t driverHandle = 7;
    std::int32_t dialUpKind = 1; // what detecting the dial-up program finds

private:
    Settings& m_settings;
    StepLog& m_log;
};

class RecordingEngine final : public MainWindowEngine
{
public:
    RecordingEngine(Settings& settings, StepLog& log) : m_settings(settings), m_log(log) {}

    void TimerTimer() override
    {
        ++ticks;
        m_log.emplace_back("TimerTimer");
    }
    void StartSession() override { m_log.emplace_back("StartSession"); }
    void AddRunningSessionToTotal() override
    {
        m_log.emplace_back("AddRunningSessionToTotal");
        m_settings.TotalConnectNew += sessionLength;
    }
    void WriteUnwrittenLogs() override { m_log.emplace_back("WriteUnwrittenLogs"); }
    void ResetSessionConnectTime() override { m_log.emplace_back("ResetSessionConnectTime"); }
    void ResetTotalConnectTime() override { m_log.emplace_back("ResetTotalConnectTime"); }
    void HangUp() override { m_log.emplace_back("HangUp"); }

    int ticks = 0;
    double sessionLength = 0.25;

private:
    Settings& m_settings;
    StepLog& m_log;
};

class RecordingDisplay final : public MainWindowDisplay
{
public:
    explicit RecordingDisplay(StepLog& log) : m_log(log) {}

    void LoadDrawingObjects() override { m_log.emplace_back("LoadDrawingObjects"); }
    void CreateDisplayFont() override { m_log.emplace_back("CreateDisplayFont"); }
    void FormPaint() override { ++paints; }
    QSize ClientSizeOfWindow(int outerWidth, int outerHeight) const override
    {
        return {outerWidth - 6, outerHeight - 25};
    }
    void RedrawForegroundCaption() override { m_log.emplace_back("RedrawForegroundCaption"); }
    void FreeDrawingObjects() override { m_log.emplace_back("FreeDrawingObjects"); }
    void ToggleTitlebar() override { m_log.emplace_back("ToggleTitlebar"); }
    void Minimize() override { m_log.emplace_back("Minimize"); }
    void InstallMinimizeHandlers() override { m_log.emplace_back("InstallMinimizeHandlers"); }
    void ActivateTrayIcon() override { m_log.emplace_back("ActivateTrayIcon"); }
    void RestoreFromTray() override { m_log.emplace_back("RestoreFromTray"); }

    int paints = 0;

private:
    StepLog& m_log;
};

class RecordingSound final : public Sound
{
public:
    explicit RecordingSound(StepLog& log) : m_log(log) {}
    void PlayWave(const std::string& path) override { m_log.push_back("PlayWave " + path); }
    void Beep() override { m_log.emplace_back("Beep"); }

private:
    StepLog& m_log;
};

} // namespace sarvendo::testing
