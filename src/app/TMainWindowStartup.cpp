// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start-up sequence and the port switch, which shares its steps for
// loading and applying a port's settings. Read top to bottom, FormCreate is the order in
// which the program comes up.
#include "TMainWindow.h"
#include "core/IniFile.h"
#include "core/Redraw.h"
#include "core/SettingsStore.h"

#include "app/CommandLine.h"
#include "app/StandardStreams.h"
#include "app/TSplashForm.h"
#include "components/TPGTrayIcon95.h"
#include "line/LineSession.h"
#include "platform/Directories.h"
#include "platform/MessageBoxes.h"
#include "platform/PlatformInfo.h"
#include "platform/ProgramStarter.h"
#include "platform/Screen.h"
#include "platform/Sound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <array>
#include <cstdint>
#include <filesystem>

namespace sarvendo {
namespace {

constexpr std::string_view kWrongPlatformText =
    "This version of Sarvendo only runs with Windows 95, not WinNT! Sarvendo will not start.";
constexpr std::string_view kPortNotAvailableText = "Port not available! Sarvendo95 will not start.";
constexpr std::string_view kWelcomeText =
    "WELCOME to Sarvendo for Windows 95!\r\r"
    "All settings can be reached by clicking with the RIGHT MOUSE BUTTON on Sarvendo!\r\r"
    "You should start by selecting a \"Port to Monitor\" in the Setup & About Dialog, General Settings. ";

constexpr int kHighestPort = 9; // COM1..COM9 can be mapped to devices
// Size of the window before the first paint gives it the layout's.
constexpr int kFirstPaintSize = 10;
constexpr int kSplashExposeWaitMs = 1000;

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

TMainWindow::StartOutcome TMainWindow::FormCreate(const IniFile& ini, const std::vector<std::string>& arguments)
{
    Settings& s = m_settings;
    if (m_services.platform.Family() != PlatformFamily::Supported) {
        ShowStartupBox(kWrongPlatformText, true);
        return StartOutcome::Refused;
    }

    // The per-port settings come from the stored port's section, even when the command
    // line names another port: that port takes them over.
    s.DefaultPort = ReadDefaultPort(ini);
    LoadSettings(s, ini, m_services.screen.PrimaryScreenSize());
    ReportSettingsFile(ini);
    if (StartupInterrupted()) {
        return StartOutcome::Ended;
    }

    setWindowTitle(QStringLiteral("Sarvendo"));
    move(s.WindowPositionX, s.WindowPositionY);
    setFixedSize(kFirstPaintSize, kFirstPaintSize);

    RequestRedraw(s, kRedrawEverything);
    s.RingCount = 0;
    s.LastRingTime = 0.0;
    s.DcdLogState = 0;
    s.DialogShowing = 0;

    ParseCommandLine(s, arguments);
    ProbePorts();
    if (!ChoosePort()) {
        return StartOutcome::Refused;
    }
    if (StartupInterrupted()) {
        return StartOutcome::Ended;
    }

    // Log records an earlier run could not write go into the logs before any of this run.
    for (const std::string& note : m_poll.Engine().TakeOverHeldLogRecords()) {
        TellStandardError(note);
    }

    if (s.InitModem != 0 && MonitoredPort() > 0) {
        m_services.line.SendModemInit();
    }

    ApplyPortSettings();
    m_poll.Engine().Time().StartSession();

    s.ShowLogoAtStartup = ReadShowLogoAtStartup(ini);
    if (s.ShowLogoAtStartup == 1) {
        ShowSplashAndPlaySound();
    }
    if (StartupInterrupted()) {
        return StartOutcome::Ended;
    }

    s.TDCounter = 0;
    s.RDCounter = 0;
    s.SessionSent = 0;
    s.SessionReceived = 0;
    s.LastActivity = 0.0;
    s.AutoDisconnectBusy = 0;
    s.InactivityWarnBusy = 0;
    s.DriverHandle = 0;

    m_services.line.OpenStatusDriver();
    // The driver's warnings are boxes, and ticks run while they are up: an automatic exit
    // or a request to end taken there must not be undone by showing the window.
    if (StartupInterrupted()) {
        return StartOutcome::Ended;
    }

    // The window's own handlers stand in for the tray component's: AppOnMinimize hides to
    // the tray itself, and a restore is posted once.
    m_tray.SetApplicationHooks([this] { AppOnMinimize(); }, [this] { AppOnRestore(); });
    if (s.ShowTrayIcon == 1) {
        m_tray.SetActive(true);
    }
    // A program closed while minimised starts minimised: a restore posted now would run
    // after the first paint minimised the window and undo it.
    if (s.NewOrientation > 0) {
        m_tray.Icon().RestoreFromTray();
    }

    // A window going straight into the tray is never shown on the way: a window manager
    // or compositor that cannot map it minimised (Wayland) would flash it on the screen.
    const bool intoTray = s.NewOrientation < 0 && s.ShowTrayIcon == 1 && m_tray.HostPresent();
    if (intoTray) {
        setWindowState(windowState() | Qt::WindowMinimized);
    }
    // The first picture is composed before the window shows, so it never shows empty.
    m_panel.Compose();
    if (!intoTray) {
        show();
    }
    if (s.NewOrientation < 0) {
        // Minimised before it was shown, the window told nobody: it goes on into the tray.
        AppOnMinimize();
    }
    m_startupDone = true;

    StartAutoRunProgram();

    s.NotifyValue2 = 0;
    s.ClosedDown = 0;
    s.SpeedText.clear();
    s.DialUpKind = 0;
    m_services.line.DetectDialUpKind();
    // With pppd installed, kind 2 says the modem-lights program is there to be started
    // on its notifications, so the setup dialog can offer "Run Lights".
    if (s.DialUpKind == 1 && m_services.programs.CanFind("lights!.exe")) {
        s.DialUpKind = 2;
    }

    return MonitoredPort() > 0 ? StartOutcome::Running : StartOutcome::RunningWithoutPort;
}

void TMainWindow::ShowStartupBox(std::string_view text, bool stopIcon)
{
    m_settings.DialogShowing = 1;
    m_services.messageBoxes.Show(text, MessageButtons::Ok, stopIcon ? MessageIcon::Error : MessageIcon::Information);
    m_settings.DialogShowing = 0;
}

void TMainWindow::ProbePorts()
{
    Settings& s = m_settings;
    s.PortBase = {0x3F8, 0x2F8, 0x3E8, 0x2E8};
    if (s.AssumePortsPresent == 1) {
        s.PortAvailable = {1, 1, 1, 1};
        return;
    }
    for (int port = 1; port <= 4; ++port) {
        m_probeErrors[static_cast<std::size_t>(port)] = m_services.line.ProbePort(port);
    }
}

bool TMainWindow::StartupInterrupted() const
{
    return m_endRequested || m_settings.ClosedDown == 1;
}

// The box's text stays as it always was; the terminal gets the device and the reason.
void TMainWindow::ReportRefusedPort(int port) const
{
    std::string text = "COM" + std::to_string(port);
    if (port >= 1 && port <= kHighestPort) {
        const std::string device = m_services.line.Platform().serialDevices.DeviceName(port);
        text += " (" + (device.empty() ? std::string("no device configured") : device) + ")";
        const PortOpenError why = m_probeErrors[static_cast<std::size_t>(port)];
        text += " cannot be monitored: ";
        text += DescribePortOpenError(why);
    } else {
        text += " cannot be monitored: only COM1 to COM9 can be mapped to devices";
    }
    TellStandardError(text);
}

// A settings file that is there but cannot be read is said at once, in a box as well: the
// program runs on defaults and leaves the file alone, so nothing done now would be kept. A
// file its owner made read-only is said once, here, on the terminal only, as it is meant.
void TMainWindow::ReportSettingsFile(const IniFile& ini)
{
    const std::string path = SettingsFilePath(m_services.directories);
    if (ini.LoadedFrom() == IniFile::Source::Unreadable) {
        m_settingsUnread = true;
        TellStandardError("the settings file " + path + " could not be read: " + ini.Problem() +
                          "; Sarvendo runs on its default settings and leaves that file as it is");
        ShowStartupBox("The settings file " + path + " could not be read: " + ini.Problem() +
                           ".\n\nSarvendo runs on its default settings and does not overwrite that file, so "
                           "changes made in this run are not saved.",
                       true);
    } else if (!ini.ReadOnly().empty()) {
        m_readOnlySaid = true;
        TellStandardError(ini.ReadOnly() +
                          ": the settings are read from it, and changes made in this run are not saved");
    }
}

// Every failed save is said, except that a read-only file is said once a run: its owner
// meant it.
bool TMainWindow::SaveFailureToSay(const TextFileSave& saved)
{
    if (saved) {
        return false;
    }
    if (saved.readOnly) {
        if (m_readOnlySaid) {
            return false;
        }
        m_readOnlySaid = true;
    }
    return true;
}

bool TMainWindow::ChoosePort()
{
    Settings& s = m_settings;
    if (s.DefaultPort == 0 && s.CommandLinePort == -99) {
        // A settings file that could not be read is no first start; its box said enough.
        if (!m_settingsUnread) {
            ShowStartupBox(kWelcomeText, false);
        }
        return true;
    }
    auto available = [&s, this](int port) {
        if (port >= 1 && port <= 4) {
            return s.PortAvailable[static_cast<std::size_t>(port - 1)] == 1;
        }
        // Ports above 4 have no entry of their own: they are taken as present like the
        // others unless a check was asked for, and then probed on their own.
        if (port <= kHighestPort) {
            if (s.AssumePortsPresent == 1) {
                return true;
            }
            m_probeErrors[static_cast<std::size_t>(port)] = m_services.line.ProbePort(port);
            return m_probeErrors[static_cast<std::size_t>(port)] == PortOpenError::None;
        }
        return false;
    };
    int refusedPort = 0;
    if (s.DefaultPort >= 1 && !available(s.DefaultPort)) {
        refusedPort = s.DefaultPort;
    } else if (s.CommandLinePort >= 1 && !available(s.CommandLinePort)) {
        refusedPort = s.CommandLinePort;
    }
    if (s.CommandLinePort == -89 || refusedPort != 0) {
        if (s.CommandLinePort == -89) {
            TellStandardError("the port on the command line must be a number from 1 to 4");
        } else {
            ReportRefusedPort(refusedPort);
        }
        ShowStartupBox(kPortNotAvailableText, true);
        return false;
    }
    if (s.CommandLinePort >= 1) {
        s.DefaultPort = s.CommandLinePort;
    }
    return true;
}

// The steps that put a port's freshly loaded settings into effect, in this order, for
// start-up and the port switch alike.
void TMainWindow::ApplyPortSettings()
{
    Settings& s = m_settings;
    // The line starts clear, so the first tick compares against nothing lit and a carrier
    // already present counts as a new connection.
    static_cast<LampFlags&>(s) = LampFlags{};
    s.PaintedLamps = LampFlags{};
    if (MonitoredPort() > 0) {
        m_services.line.ProbePort(MonitoredPort());
    }
    ApplyTimerInterval();
    RequestRedraw(s, kRedrawEverything);
    m_panel.Painter().CreateDisplayFont();
    // The idle warnings of another port's connection do not hold for this one.
    s.AutoDisconnectBusy = 0;
    s.InactivityWarnBusy = 0;
}

void TMainWindow::ShowSplashAndPlaySound()
{
    // A window of its own that deletes itself when its timer closes it, or goes with the
    // main window when the program ends first.
    auto* splash = new TSplashForm(this);
    splash->show();
    // The sound blocks the event loop, so the logo must be on the screen before it
    // starts: wait, for a moment at most, until the window system has shown the splash.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kSplashExposeWaitMs &&
           (splash->windowHandle() == nullptr || !splash->windowHandle()->isExposed())) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    splash->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    std::string wave;
    if (FileExists("Sarvendo.wav")) {
        std::error_code error;
        wave = (std::filesystem::current_path(error) / "Sarvendo.wav").string();
    } else if (const std::string besideProgram = m_services.directories.ProgramDirectory() + "/Sarvendo.wav";
               FileExists(besideProgram)) {
        wave = besideProgram;
    }
    if (!wave.empty()) {
        m_services.sound.PlayWave(wave);
    }
}

void TMainWindow::StartAutoRunProgram()
{
    if (m_settings.AutoRun != 1 || m_settings.AutoRunProgram.empty()) {
        return;
    }
    const std::vector<std::string> words = SplitCommandLine(m_settings.AutoRunProgram);
    if (!words.empty()) {
        m_services.programs.Start(words);
    }
}

void TMainWindow::SwitchPort(int port)
{
    Settings& s = m_settings;
    LineSession& line = m_services.line;
    // Which ports the list offers is decided at start-up and by "Detect Com Ports" alone:
    // the switch's own opens of the port leave it as it was.
    const std::array<std::uint8_t, 4> listed = s.PortAvailable;
    // A port that cannot be opened right now is refused without a word; the list keeps
    // showing the chosen name until the dialog fills it again.
    if (s.AssumePortsPresent == 1 && line.ProbePort(port) != PortOpenError::None) {
        s.PortAvailable = listed;
        return;
    }

    const QPoint position = pos();
    s.WindowPositionX = position.x();
    s.WindowPositionY = position.y();
    const std::string iniPath = SettingsFilePath(m_services.directories);
    // Said now, as the port's settings are about to be replaced by the next port's.
    if (const TextFileSave saved = SaveSettings(m_services.files, s, iniPath); SaveFailureToSay(saved)) {
        const std::string text = "The settings of COM" + std::to_string(s.DefaultPort) + " were not saved to " +
                                 iniPath + ": " + saved.problem;
        TellStandardError(text);
        m_services.messageBoxes.Show(text + ".", MessageButtons::Ok, MessageIcon::Error);
    }

    s.DefaultPort = port;
    LoadSettings(m_services.files, s, iniPath, m_services.screen.PrimaryScreenSize());
    m_poll.Engine().PortSwitched();
    ApplyPortSettings();
    s.PortAvailable = listed;

    move(s.WindowPositionX, s.WindowPositionY);
    showNormal();
    m_panel.ComposeSoon();
}

} // namespace sarvendo
