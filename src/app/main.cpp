// SPDX-License-Identifier: GPL-3.0-or-later
// The program entry: the only place where the real objects are made and wired together.
//
// Environment:
//   SARVENDO_SIMULATE     "1" runs on the built-in simulated modem, a path on that scenario
//   SARVENDO_HOME         where SARVENDO.INI, the logs and history.sqlite live (else the XDG
//                         directories)
//   SARVENDO_COUNT_REPAINTS  for measurements: every repaint of the panel is reported on stderr
//   SARVENDO_AUTO_ANSWER  for unattended tests only: message boxes are not shown but written
//                         to stderr and answered at once ("no" answers No, anything else
//                         Yes or Ok); the program also reports on stderr when its event loop
//                         runs
#include "core/IniFile.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"

#include "app/AutoAnswerMessageBoxes.h"
#include "app/BusRaisedWindows.h"
#include "app/CommandLine.h"
#include "app/DialUpNotifyService.h"
#include "app/HistoryLink.h"
#include "app/HistoryWindowLoader.h"
#include "app/ListenerThread.h"
#include "app/QtPlatformChoice.h"
#include "app/RaiseSocket.h"
#include "app/StandardStreams.h"
#include "app/TMainWindow.h"
#include "app/TerminationSignals.h"
#include "components/TOnlyOne.h"
#include "history/CivilTime.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryReport.h"
#include "history/HistorySettings.h"
#include "history/HistoryStore.h"
#include "history/LogImport.h"
#include "line/LineSession.h"
#include "line/PortDevices.h"
#include "monitor/EventLogs.h"
#include "platform/LineBackendFactory.h"
#include "platform/linux/AlsaSound.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxDirectories.h"
#include "platform/linux/LinuxInstanceMarkers.h"
#include "platform/linux/LinuxLogFiles.h"
#include "platform/linux/LinuxPlatformInfo.h"
#include "platform/linux/LinuxProgramStarter.h"
#include "platform/linux/LocaleFormats.h"
#include "platform/linux/PosixLogFileActions.h"
#include "platform/linux/PosixTextFiles.h"
#include "platform/linux/QtBeep.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/QtColourChooser.h"
#include "platform/linux/QtFileChooser.h"
#include "platform/linux/QtMessageBoxes.h"
#include "platform/linux/QtNotificationArea.h"
#include "platform/linux/QtScreen.h"
#include "platform/linux/QtTimerSource.h"
#include "platform/linux/QtTrayOwnerWindow.h"
#include "platform/linux/X11CaptionOverlay.h"
#include "platform/linux/X11ForegroundWindow.h"
#include "platform/linux/X11TopLevelWindows.h"
#include "platform/linux/XdgUrlOpener.h"
#include "setup/Documentation.h"

#include <QApplication>
#include <QLocale>
#include <QSessionManager>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace sarvendo;

constexpr const char* kApplicationTitle = "Sarvendo";
constexpr int kRefusedExitCode = 1;

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The program's own arguments; Qt has already taken out the options meant for it.
std::vector<std::string> ProgramArguments()
{
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) {
        arguments.push_back(all[i].toStdString());
    }
    return arguments;
}

// "sarvendo --ports" and "sarvendo --help" are answered before any window, lock or other
// copy is involved.
bool Requested(int argc, char* argv[], const std::string& option)
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == option) {
            return true;
        }
    }
    return false;
}

int PrintHelp()
{
    WriteStandardOutput("usage: sarvendo [PORT] [-AUTOCHECK]\n"
                        "       sarvendo --ports\n"
                        "       sarvendo --help\n"
                        "       sarvendo --history [--by day|month|year] [--from DATE] [--to DATE] [--csv]\n"
                        "Shows a modem's serial line as status lamps.\n"
                        "\n"
                        "  PORT        monitor port PORT (1 to 4) for this run and keep it as the default\n"
                        "  -AUTOCHECK  (any case) open every port first; refuse to start when the chosen\n"
                        "              one cannot be opened\n"
                        "  --ports     print what COM1 to COM9 are, who holds them and what their drivers\n"
                        "              report, then exit\n"
                        "  --help      print this help, then exit\n"
                        "  --history   print the connection history, one line per session, then exit;\n"
                        "              --by day|month|year prints totals per period, --from and --to\n"
                        "              (dates as 2026-12-31) limit it, --csv writes CSV\n"
                        "\n"
                        "SARVENDO_SIMULATE=1 (or a scenario file) runs on the simulated modem;\n"
                        "SARVENDO_HOME is the directory of the settings and the logs.\n");
    const QString documentation =
        FindDocumentationDirectory(QString::fromStdString(LinuxDirectories().ProgramDirectory()));
    if (!documentation.isEmpty()) {
        WriteStandardOutput("Documentation: " + documentation.toStdString() + "/README.md, and sarvendo(1)\n");
    }
    WriteStandardOutput("\n"
                        "Copyright 2026 The Sarvendo developers.\n"
                        "Sarvendo is free software under the GNU General Public License, version 3 or\n"
                        "later (GPL-3.0-or-later): you may change and share it under its terms. It comes\n"
                        "with NO WARRANTY, to the extent permitted by law.\n");
    return 0;
}

int PrintPorts()
{
    const LinuxDirectories directories;
    const PosixTextFiles files;
    const LinuxClock clock;
    const IniFile ini = IniFile::Load(files, SettingsFilePath(directories));
    LineBackendOptions options;
    options.simulate = Environment("SARVENDO_SIMULATE");
    options.devices = ReadPortDevices(ini);
    options.connectReportFile = ReadConnectReportFile(ini);
    options.monitoredPort = [] { return 0; };
    options.clock = &clock;
    const LineBackendChoice line = MakeLineBackend(options);
    if (!line.warning.empty()) {
        TellStandardError(line.warning);
    }
    WriteStandardOutput("Sarvendo ports (" + line.owner->Description() + ")\n" + DescribePorts(*line.owner));
    return 0;
}

std::string InLogDirectory(const Directories& directories, std::string_view name)
{
    std::string path = directories.LogDirectory();
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path + std::string(name);
}

// The connect and ring logs go into the history once, on its first use.
std::vector<std::string> ImportEventLogs(HistoryStore& store, const Directories& directories,
                                         const DateTimeFormats& formats, const CivilTime& civil)
{
    return ImportNotes(ImportLogs(store, InLogDirectory(directories, EventLogs::kConnectLogName),
                                  InLogDirectory(directories, EventLogs::kRingLogName), formats, civil));
}

// "sarvendo --history ...": prints the history and ends, without a window and without
// disturbing a running copy, which goes on writing while this reads.
int PrintHistoryCommand(int argc, char* argv[])
{
    const HistoryArguments arguments = ParseHistoryArguments(std::vector<std::string>(argv + 2, argv + argc));
    if (!arguments.error.empty()) {
        TellStandardError("--history: " + arguments.error +
                          "\nUsage: sarvendo --history [--by day|month|year] [--from DATE] [--to DATE] [--csv]");
        return 2;
    }
    const LinuxDirectories directories;
    // A lock held by the running copy's minute write lasts milliseconds; waiting a little
    // for it costs no window anything.
    constexpr int kBusyTimeoutMs = 2000;
    HistoryStore::Opened opened = HistoryStore::Open(HistoryDatabasePath(directories), kBusyTimeoutMs);
    if (!opened.note.empty()) {
        TellStandardError(opened.note);
    }
    if (!opened.store) {
        TellStandardError(opened.failure);
        return 1;
    }
    const SystemCivilTime civil;
    for (const std::string& note :
         ImportEventLogs(*opened.store, directories, LocaleDateTimeFormats(QLocale::system()), civil)) {
        TellStandardError(note);
    }
    std::ostringstream report;
    PrintHistory(*opened.store, arguments.request, report);
    WriteStandardOutput(report.str());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (Requested(argc, argv, "--help")) {
        return PrintHelp();
    }
    if (Requested(argc, argv, "--ports")) {
        return PrintPorts();
    }
    if (argc > 1 && std::string_view(argv[1]) == "--history") {
        return PrintHistoryCommand(argc, argv);
    }
    QtPlatformArguments qtArguments(argc, argv);
    QApplication application(qtArguments.Count(), qtArguments.Values());
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    // The main window decides when the program ends, not the last window to close.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second copy shows the first and ends before it reads, probes or writes anything.
    LinuxInstanceMarkers markers;
    X11TopLevelWindows desktopWindows;
    const std::string raiseSocketPath = markers.SocketPath(TOnlyOne::MarkerName(kApplicationTitle));
    BusRaisedWindows runningCopy(desktopWindows, raiseSocketPath);
    TOnlyOne onlyOne(markers, runningCopy);
    if (onlyOne.Loaded(kApplicationTitle) == TOnlyOne::Outcome::AnotherCopyRunning) {
        return 0;
    }
    // A termination request is noted from here on and taken up once the window exists.
    ListenerThread listeners;
    TerminationSignals& terminationSignals = listeners.Make<TerminationSignals>();

    const LinuxDirectories directories;
    const PosixTextFiles files;
    const QtScreen screen;
    const LinuxClock clock;
    const LinuxPlatformInfo platform;
    const DateTimeFormats formats = LocaleDateTimeFormats(QLocale::system());
    QtMessageBoxes qtBoxes;
    std::unique_ptr<AutoAnswerMessageBoxes> autoAnswer;
    if (const std::string answer = Environment("SARVENDO_AUTO_ANSWER"); !answer.empty()) {
        autoAnswer = std::make_unique<AutoAnswerMessageBoxes>(
            [](std::string_view line) { WriteStandardError(line); },
            answer == "no" ? AutoAnswerMessageBoxes::Answer::Negative : AutoAnswerMessageBoxes::Answer::Affirmative);
    }
    MessageBoxes& boxes = autoAnswer ? static_cast<MessageBoxes&>(*autoAnswer) : qtBoxes;
    AlsaSound sound([] { QtBeep(); });
    LinuxProgramStarter programs;
    LinuxLogFiles logFiles;
    QtColourChooser colourChooser;
    QtFileChooser fileChooser;
    XdgUrlOpener urlOpener(programs);
    QtClipboard clipboard;
    PosixLogFileActions logFileActions;

    Settings settings;
    LineBackendOptions lineOptions;
    lineOptions.simulate = Environment("SARVENDO_SIMULATE");
    // The settings file is read once; start-up takes everything it needs from this reading.
    const IniFile ini = IniFile::Load(files, SettingsFilePath(directories));
    lineOptions.devices = ReadPortDevices(ini);
    lineOptions.connectReportFile = ReadConnectReportFile(ini);
    lineOptions.monitoredPort = [&settings] { return settings.DefaultPort; };
    lineOptions.clock = &clock;
    const LineBackendChoice line = MakeLineBackend(lineOptions);
    if (!line.warning.empty()) {
        TellStandardError(line.warning);
    }
    LoadHistorySettings(settings, ini);
    const SystemCivilTime civil;
    HistoryRecorder history(settings, civil, clock, HistoryDatabasePath(directories),
                            [](const std::string& text) { TellStandardError(text); });
    history.Start();
    if (HistoryStore* store = history.Store()) {
        for (const std::string& note : ImportEventLogs(*store, directories, formats, civil)) {
            history.Say(note);
        }
    }
    const bool simulated = !lineOptions.simulate.empty() && lineOptions.simulate != "0";
    HistoryLink historyLink(settings, history, [&lineOptions, simulated](int port) -> std::string {
        if (simulated) {
            return "simulated modem";
        }
        return port >= 1 && port <= 9 ? lineOptions.devices[static_cast<std::size_t>(port - 1)] : std::string();
    });
    HistoryLineSession lineSession(history, settings, line.owner->View(), clock, directories, boxes);

    QtNotificationArea notificationArea;
    QtTimerSource trayTimer;
    X11ForegroundWindow foregroundWindow;
    X11CaptionOverlay captionOverlay;
    TMainWindow window(MainWindowServices{settings,
                                          directories,
                                          files,
                                          screen,
                                          platform,
                                          clock,
                                          formats,
                                          boxes,
                                          sound,
                                          programs,
                                          logFiles,
                                          lineSession,
                                          notificationArea,
                                          trayTimer,
                                          [](QWidget& mainWindow) { return std::make_unique<QtTrayOwnerWindow>(mainWindow); },
                                          foregroundWindow,
                                          captionOverlay,
                                          colourChooser,
                                          fileChooser,
                                          urlOpener,
                                          clipboard,
                                          logFileActions,
                                          &historyLink});
    qtBoxes.SetOwner(&window);
    if (!Environment("SARVENDO_COUNT_REPAINTS").empty()) {
        window.Image()->SetRepaintObserver([] { TellStandardError("repaint"); });
    }

    QObject::connect(&window, &TMainWindow::ApplicationEndRequested, &application, [] { QCoreApplication::exit(0); });
    QObject::connect(&terminationSignals, &TerminationSignals::Received, &window,
                     [&window](int /*signalNumber*/) { window.CloseWithoutQuery(); });

    // A request to end during start-up (in a box, say) closes that box and ends start-up.
    listeners.Run([&terminationSignals] { terminationSignals.Listen(); });
    // A request caught before is taken up now, before the start-up begins.
    QCoreApplication::sendPostedEvents(&window, QEvent::MetaCall);
    HistoryWindowLoader historyWindow(directories.ProgramDirectory() + "/" + kHistoryModuleFileName, boxes);
    QObject::connect(&window, &TMainWindow::HistoryRequested, &window, [&] {
        historyWindow.Show(
            HistoryWindowParts{settings, history, files, SettingsFilePath(directories), boxes, clock, formats});
    });

    const TMainWindow::StartOutcome outcome = window.FormCreate(ini, ProgramArguments());
    if (outcome == TMainWindow::StartOutcome::Refused) {
        history.Finish();
        return kRefusedExitCode;
    }
    if (outcome == TMainWindow::StartOutcome::Ended) {
        window.FClose();
        history.Finish();
        return 0;
    }

    DialUpNotifyService dialUpNotifications;
    QObject::connect(&dialUpNotifications, &DialUpNotifyService::Received, &window, &TMainWindow::WMCopyData);
    QObject::connect(&dialUpNotifications, &DialUpNotifyService::RaiseRequested, &window, &TMainWindow::BringBack);
    dialUpNotifications.Register();
    // A second start shows this copy's window through the socket, with or without a bus.
    RaiseSocket& raiseSocket = listeners.Make<RaiseSocket>(raiseSocketPath);
    QObject::connect(&raiseSocket, &RaiseSocket::ShowRequested, &window, &TMainWindow::BringBack);
    listeners.Run([&raiseSocket] { raiseSocket.Listen(); });

    // The end of the desktop session asks like the close box does, when it may ask at all.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager& manager) {
        if (!manager.allowsInteraction()) {
            window.FClose();
            return;
        }
        const bool mayEnd = window.FormCloseQuery();
        manager.release();
        if (!mayEnd) {
            manager.cancel();
        }
    });
    // However the event loop ends, the settings are written (once).
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &window, [&window] { window.FClose(); });

    if (autoAnswer) {
        QTimer::singleShot(0, &application, [] { TellStandardError("event loop running"); });
    }
    const int exitCode = QApplication::exec();
    // A connection still up when the program ends was ended by the exit.
    history.Finish();
    return exitCode;
}
