// The program entry: the only place where the real objects are made and wired together.
//
// Environment:
//   SARVENDO_SIMULATE     "1" runs on the built-in simulated modem, a path on that scenario
//   SARVENDO_HOME         where SARVENDO.INI and the logs live (else the XDG directories)
//   SARVENDO_AUTO_ANSWER  for unattended tests only: message boxes are not shown but written
//                         to stderr and answered at once ("no" answers No, anything else
//                         Yes or Ok); the program also reports on stderr when its event loop
//                         runs
#include "core/IniFile.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"

#include "app/AutoAnswerMessageBoxes.h"
#include "app/DialUpNotifyService.h"
#include "app/LineSessionStartup.h"
#include "app/PanelDisplay.h"
#include "app/PollCycleEngine.h"
#include "app/QtPlatformChoice.h"
#include "app/TMainWindow.h"
#include "app/TSetupDlg.h"
#include "app/TerminationSignals.h"
#include "components/TOnlyOne.h"
#include "display/LampSet.h"
#include "display/LineSessionParameters.h"
#include "display/PanelPainter.h"
#include "line/LineSession.h"
#include "line/PortDevices.h"
#include "monitor/LineSessionSide.h"
#include "monitor/PollCycle.h"
#include "platform/LinePlatformFactory.h"
#include "platform/linux/AlsaSound.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxDirectories.h"
#include "platform/linux/LinuxInstanceMarkers.h"
#include "platform/linux/LinuxLogFiles.h"
#include "platform/linux/LinuxPlatformInfo.h"
#include "platform/linux/LinuxProgramStarter.h"
#include "platform/linux/LocaleFormats.h"
#include "platform/linux/PosixTextFiles.h"
#include "platform/linux/QtBeep.h"
#include "platform/linux/QtMessageBoxes.h"
#include "platform/linux/QtScreen.h"
#include "platform/linux/X11TopLevelWindows.h"

#include <QApplication>
#include <QLocale>
#include <QSessionManager>
#include <QTimer>

#include <cstdlib>
#include <iostream>
#include <memory>
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

} // namespace

int main(int argc, char* argv[])
{
    PreferX11Backend(argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    // The main window decides when the program ends, not the last window to close.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second copy shows the first and ends before it reads, probes or writes anything.
    LinuxInstanceMarkers markers;
    X11TopLevelWindows desktopWindows;
    TOnlyOne onlyOne(markers, desktopWindows);
    if (onlyOne.Loaded(kApplicationTitle) == TOnlyOne::Outcome::AnotherCopyRunning) {
        return 0;
    }
    // A termination request during start-up is noted and taken up once start-up is done.
    TerminationSignals terminationSignals;

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
            std::cerr,
            answer == "no" ? AutoAnswerMessageBoxes::Answer::Negative : AutoAnswerMessageBoxes::Answer::Affirmative);
    }
    MessageBoxes& boxes = autoAnswer ? static_cast<MessageBoxes&>(*autoAnswer) : qtBoxes;
    AlsaSound sound([] { QtBeep(); });
    LinuxProgramStarter programs;
    LinuxLogFiles logFiles;

    Settings settings;
    LinePlatformOptions lineOptions;
    lineOptions.simulate = Environment("SARVENDO_SIMULATE");
    const IniFile iniForLine = IniFile::Load(files, SettingsFilePath(directories));
    lineOptions.devices = ReadPortDevices(iniForLine);
    lineOptions.connectReportFile = ReadConnectReportFile(iniForLine);
    lineOptions.monitoredPort = [&settings] { return settings.DefaultPort; };
    lineOptions.clock = &clock;
    const LinePlatformChoice line = MakeLinePlatform(lineOptions);
    if (!line.warning.empty()) {
        std::cerr << "Sarvendo: " << line.warning << std::endl;
    }
    LineSession lineSession(settings, line.owner->View(), clock, directories, boxes);
    LineSessionStartup startupLine(lineSession);

    TMainWindow window(
        MainWindowServices{settings, directories, files, screen, platform, boxes, sound, programs, startupLine});
    qtBoxes.SetOwner(&window);

    LineSessionSide lineSide(lineSession);
    PollCycle pollCycle(settings, clock, lineSide, sound, boxes, logFiles, directories, formats, window);
    PollCycleEngine engine(pollCycle, lineSession);
    LineSessionParameters lineParameters(settings, lineSession);
    LampSet lamps(settings, lineParameters);
    PanelPainter painter(settings, window, lamps, lineParameters, clock);
    PanelDisplay display(painter, settings, window);
    window.AttachEngine(&engine);
    window.AttachDisplay(&display);

    QObject::connect(&window, &TMainWindow::ApplicationEndRequested, &application, [] { QCoreApplication::exit(0); });
    QObject::connect(&terminationSignals, &TerminationSignals::Received, &window,
                     [&window](int /*signalNumber*/) { window.CloseWithoutQuery(); });

    if (window.FormCreate(ProgramArguments()) == TMainWindow::StartOutcome::Refused) {
        return kRefusedExitCode;
    }
    TSetupDlg setupDialog(&window);
    window.AttachSetupDialog(&setupDialog);
    terminationSignals.Listen();

    DialUpNotifyService dialUpNotifications;
    QObject::connect(&dialUpNotifications, &DialUpNotifyService::Received, &window, &TMainWindow::WMCopyData);
    dialUpNotifications.Register();

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
        QTimer::singleShot(0, &application, [] { std::cerr << "Sarvendo: event loop running" << std::endl; });
    }
    return QApplication::exec();
}
