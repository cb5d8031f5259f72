#include "TMainWindow.h"

#include "core/IniFile.h"
#include "core/Rounding.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"

#include "app/CommandLine.h"
#include "app/DialUpNotification.h"
#include "app/MainWindowDisplay.h"
#include "app/MainWindowEngine.h"
#include "app/StartupLine.h"
#include "app/THelpWindow.h"
#include "app/TSetupDlg.h"
#include "app/TSplashForm.h"
#include "platform/Directories.h"
#include "platform/MessageBoxes.h"
#include "platform/PlatformInfo.h"
#include "platform/ProgramStarter.h"
#include "platform/Screen.h"
#include "platform/Sound.h"
#include "resources/Resources.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <filesystem>

namespace sarvendo {
namespace {

constexpr std::string_view kWrongPlatformText =
    "This version of Sarvendo only runs with Windows 95, not WinNT! Sarvendo will not start.";
constexpr std::string_view kPortNotAvailableText = "Port not available! Sarvendo95 will not start.";
constexpr std::string_view kStillConnectedText = "Still connected! Exit Sarvendo anyway?";
constexpr std::string_view kWelcomeText =
    "WELCOME to Sarvendo for Windows 95!\r\r"
    "All settings can be reached by clicking with the RIGHT MOUSE BUTTON on Sarvendo!\r\r"
    "You should start by selecting a \"Port to Monitor\" in the Setup & About Dialog, General Settings. ";

constexpr int kHelpContents = 1;
constexpr int kHighestPort = 9; // COM1..COM9 can be mapped to devices
constexpr int kUnpaintedWidth = 299;
constexpr int kUnpaintedHeight = 205;

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

TMainWindow::TMainWindow(MainWindowServices services, QWidget* parent)
    : QWidget(parent), m_services(services), m_settings(services.settings)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Sarvendo"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kUnpaintedWidth, kUnpaintedHeight);
    if (const std::optional<QImage> icon = LoadResourceImage("MAINICON")) {
        setWindowIcon(QIcon(QPixmap::fromImage(*icon)));
    }

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image"));
    m_image->setGeometry(0, 1, 400, 200);
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Clicks go to the window, so the context menu and dragging work on the lamps too.
    m_image->setAttribute(Qt::WA_TransparentForMouseEvents);

    CreateMenus();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &TMainWindow::TimerTimer);

    m_helpWindow = new THelpWindow(this);
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::CreateMenus()
{
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu"));
    auto addItem = [this](const char* name, const char* caption) {
        auto* action = m_popupMenu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        return action;
    };
    m_setupAbout = addItem("SetupAbout", "&Setup && About");
    m_popupMenu->setDefaultAction(m_setupAbout);
    m_toggleTitlebarOnOff = addItem("ToggleTitlebarOnOff", "Toggle Titlebar &On/Off");
    m_resetSessionConnectTime = addItem("ResetSessionConnectTime", "&Reset Session Connect Time");
    m_resetSessionConnectTime->setEnabled(false);
    m_resetTotalConnectTime = addItem("ResetTotalConnectTime", "Reset &Total Connect Time");
    m_hangupNow = addItem("HangupNOW", "Hang-up NOW!");
    m_hangupNow->setEnabled(false);
    m_minimize = addItem("Minimize", "Minimize");
    m_popupMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    m_helpItem = addItem("HELP", "&Help");
    m_exitSarvendo = addItem("ExitSarvendo", "&Exit");

    // Window managers keep the window menu to themselves, so its three items live in a
    // section of their own at the end of the popup menu.
    m_popupMenu->addSection(QStringLiteral("System"))->setObjectName(QStringLiteral("SystemSection"));
    auto* systemSetup = addItem("SystemSetupAbout", "&Setup && About...");
    systemSetup->setData(kSetupAbout);
    auto* systemHelp = addItem("SystemHelp", "&HELP");
    systemHelp->setData(kHelp);
    connect(systemSetup, &QAction::triggered, this, [this] { WMSysCommand(kSetupAbout); });
    connect(systemHelp, &QAction::triggered, this, [this] { WMSysCommand(kHelp); });

    connect(m_popupMenu, &QMenu::aboutToShow, this, &TMainWindow::PopupMenuPopup);
    connect(m_setupAbout, &QAction::triggered, this, &TMainWindow::ShowSetupDialog);
    connect(m_toggleTitlebarOnOff, &QAction::triggered, this, [this] {
        if (m_display != nullptr) {
            m_display->ToggleTitlebar();
        }
    });
    connect(m_resetSessionConnectTime, &QAction::triggered, this, [this] {
        if (m_engine != nullptr) {
            m_engine->ResetSessionConnectTime();
        }
    });
    connect(m_resetTotalConnectTime, &QAction::triggered, this, [this] {
        if (m_engine != nullptr) {
            m_engine->ResetTotalConnectTime();
        }
    });
    connect(m_hangupNow, &QAction::triggered, this, [this] {
        if (m_engine != nullptr) {
            m_engine->HangUp();
        }
    });
    connect(m_minimize, &QAction::triggered, this, [this] {
        if (m_display != nullptr) {
            m_display->Minimize();
        } else {
            showMinimized();
        }
    });
    connect(m_helpItem, &QAction::triggered, this, &TMainWindow::HelpClick);
    connect(m_exitSarvendo, &QAction::triggered, this, &QWidget::close);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { m_popupMenu->popup(mapToGlobal(position)); });
}

int TMainWindow::MonitoredPort() const
{
    return m_settings.DefaultPort;
}

void TMainWindow::ShowStartupBox(std::string_view text, bool stopIcon)
{
    m_settings.DialogShowing = 1;
    m_services.messageBoxes.Show(text, MessageButtons::Ok, stopIcon ? MessageIcon::Error : MessageIcon::Information);
    m_settings.DialogShowing = 0;
}

TMainWindow::StartOutcome TMainWindow::FormCreate(const std::vector<std::string>& arguments)
{
    Settings& s = m_settings;
    if (m_services.platform.Family() != PlatformFamily::Supported) {
        ShowStartupBox(kWrongPlatformText, true);
        return StartOutcome::Refused;
    }
    if (m_display != nullptr) {
        m_display->LoadDrawingObjects();
    }

    const std::string iniPath = SettingsFilePath(m_services.directories);
    // One parse serves every start-up read.
    const IniFile ini = IniFile::Load(m_services.files, iniPath);
    s.DefaultPort = ReadDefaultPort(ini);
    // The per-port settings come from the stored port's section, even when the command
    // line names another port: that port takes them over.
    LoadSettings(s, ini, m_services.screen.PrimaryScreenSize());

    setWindowTitle(QStringLiteral("Sarvendo"));
    move(s.WindowPositionX, s.WindowPositionY);
    if (m_display != nullptr) {
        setFixedSize(10, 10); // the first paint gives the layout's size
    }

    s.RebuildWindowLamps = 1;
    s.RebuildTitleLamps = 1;
    s.RebuildLayout = 1;
    s.RepaintNeeded = 1;
    s.RingCount = 0;
    s.LastRingTime = 0.0;
    s.DcdLogState = 0;
    s.DialogShowing = 0;

    ParseCommandLine(s, arguments);

    s.PortBase = {0x3F8, 0x2F8, 0x3E8, 0x2E8};
    if (s.AssumePortsPresent == 1) {
        s.PortAvailable = {1, 1, 1, 1};
    } else {
        for (int port = 1; port <= 4; ++port) {
            m_services.line.ProbePort(port);
        }
    }

    if (!ChoosePort()) {
        return StartOutcome::Refused;
    }

    UpdateLampsNowItemForInterval();

    if (s.InitModem != 0 && MonitoredPort() > 0) {
        m_services.line.SendModemInit();
    }

    static_cast<LampFlags&>(s) = LampFlags{};
    s.PaintedLamps = LampFlags{};

    if (MonitoredPort() > 0) {
        m_services.line.ProbePort(MonitoredPort());
    }

    SetTimerPeriod();

    if (m_engine != nullptr) {
        m_engine->StartSession();
    }
    if (m_display != nullptr) {
        m_display->CreateDisplayFont();
    }

    s.ShowLogoAtStartup = ReadShowLogoAtStartup(ini);
    if (s.ShowLogoAtStartup == 1) {
        ShowSplashAndPlaySound();
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

    if (m_display != nullptr) {
        m_display->InstallMinimizeHandlers();
        if (s.ShowTrayIcon == 1) {
            m_display->ActivateTrayIcon();
        }
        m_display->RestoreFromTray();
    }

    show();

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

bool TMainWindow::ChoosePort()
{
    Settings& s = m_settings;
    if (s.DefaultPort == 0 && s.CommandLinePort == -99) {
        ShowStartupBox(kWelcomeText, false);
        return true;
    }
    auto available = [&s, this](int port) {
        if (port >= 1 && port <= 4) {
            return s.PortAvailable[static_cast<std::size_t>(port - 1)] == 1;
        }
        // Ports above 4 have no entry of their own: they are taken as present like the
        // others unless a check was asked for, and then probed on their own.
        if (port <= kHighestPort) {
            return s.AssumePortsPresent == 1 || m_services.line.ProbePort(port);
        }
        return false;
    };
    const bool refused = s.CommandLinePort == -89 || (s.DefaultPort >= 1 && !available(s.DefaultPort)) ||
                         (s.CommandLinePort >= 1 && !available(s.CommandLinePort));
    if (refused) {
        ShowStartupBox(kPortNotAvailableText, true);
        return false;
    }
    if (s.CommandLinePort >= 1) {
        s.DefaultPort = s.CommandLinePort;
    }
    return true;
}

void TMainWindow::SetTimerPeriod()
{
    const int period = TimerPeriodMs(m_settings.TimerInterval);
    if (period <= 0 || m_pollTimerStoppedForGood) {
        m_timer->stop();
        return;
    }
    m_timer->start(period);
}

void TMainWindow::UpdateLampsNowItemForInterval()
{
    if (m_updateLampsNow != nullptr) {
        m_popupMenu->removeAction(m_updateLampsNow);
        m_updateLampsNow->deleteLater();
        m_updateLampsNow = nullptr;
    }
    if (m_settings.TimerInterval <= 0) {
        m_updateLampsNow = m_popupMenu->addAction(QStringLiteral("Update Lamps &Now!"));
        m_updateLampsNow->setObjectName(QStringLiteral("UpdateLampsNow"));
        m_updateLampsNow->setData(kUpdateLampsNow);
        connect(m_updateLampsNow, &QAction::triggered, this, [this] { WMSysCommand(kUpdateLampsNow); });
    }
}

void TMainWindow::ShowSplashAndPlaySound()
{
    // A window of its own that deletes itself when its timer closes it, or goes with the
    // main window when the program ends first.
    auto* splash = new TSplashForm(this);
    splash->show();
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

bool TMainWindow::FormCloseQuery()
{
    bool canClose = true;
    if (m_settings.WarnWhenExiting == 0 && m_settings.LampCD != 0) {
        canClose = m_services.messageBoxes.Show(kStillConnectedText, MessageButtons::YesNo, MessageIcon::Question) ==
                   MessageResult::Yes;
    }
    if (canClose) {
        FClose();
    }
    return canClose;
}

void TMainWindow::FormClose()
{
    FClose();
}

void TMainWindow::FClose()
{
    Settings& s = m_settings;
    if (s.ClosedDown == 1) {
        return;
    }
    if ((s.Title == 1 || s.Title == 2) && m_display != nullptr) {
        m_display->RedrawForegroundCaption();
    }
    if (m_engine != nullptr) {
        if (s.LampCD != 0) {
            m_engine->AddRunningSessionToTotal();
        }
        // Log records a failing file held back would otherwise be lost with the process.
        m_engine->WriteUnwrittenLogs();
    }
    if (s.DriverHandle > 0) {
        m_services.line.ReleaseStatusDriver();
    }
    m_services.line.CloseDialUpProcess();

    const QPoint position = pos();
    s.WindowPositionX = position.x();
    s.WindowPositionY = position.y();

    SaveSettingsAtShutdown(m_services.files, s, SettingsFilePath(m_services.directories));

    if (m_display != nullptr) {
        m_display->FreeDrawingObjects();
    }
    m_helpWindow->Quit();
    s.ClosedDown = 1;
}

void TMainWindow::CloseWithoutQuery()
{
    FClose();
    m_skipCloseQuery = true;
    close();
    RequestApplicationEnd();
}

void TMainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_skipCloseQuery && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    m_timer->stop();
    event->accept();
    RequestApplicationEnd();
}

void TMainWindow::WMCopyData(unsigned tag, const std::string& text)
{
    // A notification arriving while the program ends starts nothing any more.
    if (tag != 1 || m_settings.ClosedDown == 1) {
        return;
    }
    const std::string kept = CutNotificationText(text);
    m_settings.NotifyValue2 = NotificationSecondNumber(kept);
    if (m_settings.RunLights == 1) {
        m_lights.Start(kept);
    }
}

void TMainWindow::WMSysCommand(int command)
{
    switch (command) {
    case kUpdateLampsNow:
        TimerTimer();
        break;
    case kSetupAbout:
        ShowSetupDialog();
        break;
    case kHelp:
        HelpClick();
        break;
    default:
        break;
    }
}

void TMainWindow::PopupMenuPopup()
{
    const bool connected = m_settings.LampCD != 0;
    m_hangupNow->setEnabled(connected);
    m_resetSessionConnectTime->setEnabled(connected);
}

void TMainWindow::ShowSetupDialog()
{
    m_settings.DialogShowing = 1;
    if (m_setupDialog != nullptr) {
        m_setupDialog->exec();
    }
    UpdateLampsNowItemForInterval();
    // The dialog may have changed the number of polls per second.
    SetTimerPeriod();
    m_settings.RepaintNeeded = 1;
    m_settings.DialogShowing = 0;
    update();
}

void TMainWindow::HelpClick()
{
    m_helpWindow->ShowContext(kHelpContents);
}

void TMainWindow::TimerTimer()
{
    if (m_engine != nullptr && m_settings.ClosedDown == 0) {
        m_engine->TimerTimer();
    }
}

void TMainWindow::InvalidateClientArea()
{
    update();
}

bool TMainWindow::ClientAreaHidden() const
{
    return !isVisible() || isMinimized();
}

void TMainWindow::FormPaint()
{
    if (m_display != nullptr) {
        m_display->FormPaint();
    }
}

void TMainWindow::SetHangUpButtonEnabled(bool enabled)
{
    emit HangUpButtonEnabledChanged(enabled);
}

void TMainWindow::MakeTopmost()
{
    raise();
}

void TMainWindow::StopPollTimer()
{
    m_pollTimerStoppedForGood = true;
    m_timer->stop();
}

void TMainWindow::RunCloseQuery()
{
    close();
}

void TMainWindow::RequestApplicationEnd()
{
    emit ApplicationEndRequested();
}

void TMainWindow::RedrawForegroundCaption()
{
    if (m_display != nullptr) {
        m_display->RedrawForegroundCaption();
    }
}

QSize TMainWindow::ClientSize() const
{
    return size();
}

void TMainWindow::MinimizeApplication()
{
    if (!isMinimized()) {
        showMinimized();
    }
}

void TMainWindow::ResizeWindow(int outerWidth, int outerHeight)
{
    if (m_display == nullptr) {
        return;
    }
    const QSize client = m_display->ClientSizeOfWindow(outerWidth, outerHeight);
    if (client != size()) {
        setFixedSize(client);
    }
}

void TMainWindow::ShowCanvas(const QImage& canvas)
{
    m_image->setPixmap(QPixmap::fromImage(canvas));
}

void TMainWindow::SetByteLabels(const std::string& transmitted, const std::string& received)
{
    emit ByteLabelsChanged(QString::fromStdString(transmitted), QString::fromStdString(received));
}

void TMainWindow::paintEvent(QPaintEvent* /*event*/)
{
    if (m_display != nullptr) {
        m_display->FormPaint();
        return;
    }
    // Without a panel painter the window shows its background colour only.
    const ColorRef colour = m_settings.BackgroundColor;
    QPainter painter(this);
    painter.fillRect(rect(), QColor(static_cast<int>(colour & 0xFFU), static_cast<int>((colour >> 8U) & 0xFFU),
                                    static_cast<int>((colour >> 16U) & 0xFFU)));
}

} // namespace sarvendo
