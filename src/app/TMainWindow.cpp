// SPDX-License-Identifier: GPL-3.0-or-later
#include "TMainWindow.h"

#include "core/IniFile.h"
#include "core/Redraw.h"
#include "core/Rounding.h"
#include "core/SettingsStore.h"

#include "app/CommandLine.h"
#include "app/DialUpNotification.h"
#include "app/THelpWindow.h"
#include "components/TPGTrayIcon95.h"
#include "display/Colours.h"
#include "line/LineSession.h"
#include "platform/Directories.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramStarter.h"
#include "platform/Screen.h"
#include "platform/SystemMetrics.h"
#include "platform/TrayOwnerWindow.h"
#include "resources/Resources.h"
#include "setup/TSetupDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyleHints>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <iostream>

namespace sarvendo {
namespace {

constexpr std::string_view kStillConnectedText = "Still connected! Exit Sarvendo anyway?";

constexpr int kHelpContents = 1;
constexpr int kUnpaintedWidth = 299;
constexpr int kUnpaintedHeight = 205;
constexpr int kImageTop = 1;
constexpr int kImageWidth = 400;
constexpr int kImageHeight = 200;
// How long after a caption toggle the panel is held in place while the window manager
// puts its frame on or takes it off.
constexpr int kPanelAnchorMs = 1500;

HistoryHost& HistoryOf(const MainWindowServices& services)
{
    static NoHistory none;
    return services.history != nullptr ? *services.history : none;
}

} // namespace

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image"));
    // The picture covers the whole control, so nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks go to the window, so the context menu and dragging work on the lamps too.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

bool TImage::SetPicture(const QImage& picture)
{
    if (picture == m_picture) {
        return false;
    }
    m_picture = picture;
    update();
    return true;
}

void TImage::paintEvent(QPaintEvent* event)
{
    ++m_repaints;
    if (m_repaintObserver) {
        m_repaintObserver();
    }
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), m_picture, event->rect());
}

TMainWindow::TMainWindow(MainWindowServices services, QWidget* parent)
    : QWidget(parent), m_services(services), m_settings(services.settings),
      m_pollCycle(services.settings, services.clock, services.line, services.sound, services.messageBoxes,
                  services.logFiles, services.directories, services.formats, *this, HistoryOf(services)),
      m_lineParameters(services.settings, services.line), m_lamps(services.settings, m_lineParameters),
      m_painter(services.settings, *this, m_lamps, m_lineParameters, m_pollCycle.Time()),
      m_titleLamps(services.settings, m_lamps, services.foregroundWindow, services.captionOverlay, m_pollCycle.Time())
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Sarvendo"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kUnpaintedWidth, kUnpaintedHeight);
    // The window takes the keyboard focus itself, so a closed popup menu hands it back and
    // the Menu key opens the menu again, not the hidden menu's own.
    setFocusPolicy(Qt::ClickFocus);
    if (const std::optional<QImage> icon = LoadResourceImage("MAINICON")) {
        setWindowIcon(QIcon(QPixmap::fromImage(*icon)));
    }
    // Row 0, above the image control, shows the window's own background: the panel's.
    setAutoFillBackground(true);
    ApplyBackgroundColour();

    m_image = new TImage(this);
    m_image->setGeometry(0, kImageTop, kImageWidth, kImageHeight);

    CreateMenus();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &TMainWindow::TimerTimer);

    m_panelAnchorTimer = new QTimer(this);
    m_panelAnchorTimer->setSingleShot(true);
    m_panelAnchorTimer->setInterval(kPanelAnchorMs);
    connect(m_panelAnchorTimer, &QTimer::timeout, this, [this] { m_panelAnchor.reset(); });

    m_helpWindow = new THelpWindow(this);
    m_painter.SetCaptionAndTray(this);
    CreateTrayIcon();

    m_setupDialog =
        new TSetupDlg(SetupDlgParts{m_settings, services.line, m_pollCycle.Time(), m_pollCycle.Logs(),
                                    m_pollCycle.Guard(), services.programs, services.sound, services.messageBoxes,
                                    services.directories, services.colourChooser, services.fileChooser,
                                    services.urlOpener, services.clipboard, services.logFileActions},
                      *this, this);
    connect(this, &TMainWindow::ByteLabelsChanged, m_setupDialog, &TSetupDlg::SetByteLabels);
    connect(this, &TMainWindow::HangUpButtonEnabledChanged, m_setupDialog, &TSetupDlg::SetHangUpButtonEnabled);
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::CreateTrayIcon()
{
    m_trayOwner = m_services.makeTrayOwnerWindow(*this);
    m_trayIcon = new TPGTrayIcon95(
        this, TrayIconPlatform{m_services.notificationArea, m_services.trayTimer, m_services.clock, *m_trayOwner});
    m_trayIcon->setObjectName(QStringLiteral("PGTrayIcon"));
    m_trayIcon->SetPopupMenu(m_popupMenu);
    m_trayIcon->SetAutoPopup(true);
    m_trayIcon->SetOptions(TPGTrayIconOptions(toUnclutterTaskBar));
    m_trayIcon->SetOnDblClick([this](QObject& /*sender*/) { TrayIconDblClick(); });
    m_trayIcon->SetOnHostChanged([this](QObject& /*sender*/) { TrayHostChanged(); });
    m_trayPresenter = std::make_unique<TrayPresenter>(m_settings, m_lineParameters, *m_trayIcon);
}

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

    // Window managers keep the window menu to themselves, so its items live in a "System"
    // submenu at the end of the popup menu; a submenu of their own keeps their accelerators
    // ("&S", "&H") from clashing with the popup menu's.
    m_systemMenu = m_popupMenu->addMenu(QStringLiteral("S&ystem"));
    m_systemMenu->setObjectName(QStringLiteral("SystemMenu"));
    auto addSystemItem = [this](const char* name, const char* caption) {
        auto* action = m_systemMenu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        return action;
    };
    auto* systemSetup = addSystemItem("SystemSetupAbout", "&Setup && About...");
    systemSetup->setData(kSetupAbout);
    auto* systemHelp = addSystemItem("SystemHelp", "&HELP");
    systemHelp->setData(kHelp);
    connect(systemSetup, &QAction::triggered, this, [this] { WMSysCommand(kSetupAbout); });
    connect(systemHelp, &QAction::triggered, this, [this] { WMSysCommand(kHelp); });
    // Our own addition beside the window menu's items: the connection history.
    auto* systemHistory = addSystemItem("SystemHistory", "H&istory...");
    connect(systemHistory, &QAction::triggered, this, &TMainWindow::HistoryRequested);

    connect(m_popupMenu, &QMenu::aboutToShow, this, &TMainWindow::PopupMenuPopup);
    connect(m_setupAbout, &QAction::triggered, this, &TMainWindow::ShowSetupDialog);
    connect(m_resetSessionConnectTime, &QAction::triggered, this,
            [this] { m_pollCycle.Time().ResetSessionConnectTimeClick(); });
    connect(m_resetTotalConnectTime, &QAction::triggered, this,
            [this] { m_pollCycle.Time().ResetTotalConnectTimeClick(); });
    connect(m_hangupNow, &QAction::triggered, this, &TMainWindow::HangUpNow);
    connect(m_minimize, &QAction::triggered, this, &TMainWindow::AppOnMinimize);
    connect(m_toggleTitlebarOnOff, &QAction::triggered, this, &TMainWindow::ImageDblClick);
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

void TMainWindow::ApplyTimerInterval()
{
    UpdateLampsNowItemForInterval();
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
        m_systemMenu->removeAction(m_updateLampsNow);
        m_updateLampsNow->deleteLater();
        m_updateLampsNow = nullptr;
    }
    if (m_settings.TimerInterval <= 0) {
        m_updateLampsNow = m_systemMenu->addAction(QStringLiteral("Update Lamps &Now!"));
        m_updateLampsNow->setObjectName(QStringLiteral("UpdateLampsNow"));
        m_updateLampsNow->setData(kUpdateLampsNow);
        connect(m_updateLampsNow, &QAction::triggered, this, [this] { WMSysCommand(kUpdateLampsNow); });
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
    if (s.ClosedDown == 1 || m_closing) {
        return;
    }
    // No tick may run in a box this routine's own steps open and close it a second time.
    m_closing = true;
    m_timer->stop();
    if (s.Title == 1 || s.Title == 2) {
        RedrawForegroundCaption();
    }
    if (s.LampCD != 0) {
        m_pollCycle.Time().EndSession();
    }
    // Log records a failing file held back are tried once more; where those still held
    // wait for the next start, or that they are lost, is said, as no box could help any more.
    for (const std::string& note : m_pollCycle.WriteUnwrittenLogs()) {
        std::cerr << "Sarvendo: " << note << std::endl;
    }
    if (s.DriverHandle > 0) {
        m_services.line.ReleaseStatusDriver();
    }
    m_services.line.CloseDialUpProcess();

    const QPoint position = pos();
    s.WindowPositionX = position.x();
    s.WindowPositionY = position.y();

    // No box can help any more; the terminal learns where the settings were not saved.
    const std::string iniPath = SettingsFilePath(m_services.directories);
    if (const TextFileSave saved = SaveSettingsAtShutdown(m_services.files, s, iniPath); SaveFailureToSay(saved)) {
        std::cerr << "Sarvendo: the settings were not saved to " << iniPath << ": " << saved.problem << std::endl;
    }

    m_helpWindow->Quit();
    s.ClosedDown = 1;
}

void TMainWindow::CloseWithoutQuery()
{
    if (!m_startupDone) {
        m_endRequested = true;
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
        }
        return;
    }
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

void TMainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A new desktop palette, font, style or theme may change the panel's system colours
    // and metrics. The window's own palette follows "BackgroundColor" and is no such change.
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationPaletteChange || type == QEvent::ApplicationFontChange ||
        type == QEvent::StyleChange || type == QEvent::ThemeChange) {
        RequestRedraw(m_settings, Redraw::WindowLamps | Redraw::Repaint);
    }
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
    m_setupDialog->exec();
    // Help opened from the dialog belonged to it while it was open; it stays open, now
    // the window's again.
    m_helpWindow->SetOwner(this);
    // The dialog may have changed the number of polls per second.
    ApplyTimerInterval();
    RequestRedraw(m_settings, Redraw::Repaint);
    m_settings.DialogShowing = 0;
    ComposeSoon();
}

void TMainWindow::HelpClick()
{
    m_helpWindow->ShowContext(kHelpContents, HelpOwner());
}

QWidget* TMainWindow::HelpOwner()
{
    // The setup dialog is application-modal: while it is open the help must be its
    // window to take input above it, whoever asks for the help.
    return m_setupDialog->isVisible() ? static_cast<QWidget*>(m_setupDialog) : this;
}

void TMainWindow::TimerTimer()
{
    if (m_settings.ClosedDown == 0 && !m_closing) {
        m_pollCycle.TimerTimer();
    }
}

void TMainWindow::HangUpNow()
{
    // A hang-up that could not reach the control lines is said, never passed off as done.
    const HangUpResult result = m_services.line.HangUp();
    if (!result.performed) {
        m_services.messageBoxes.Show(HangUpFailureText(result), MessageButtons::Ok, MessageIcon::Warning);
    }
}

void TMainWindow::ShowHelp(int context)
{
    m_helpWindow->ShowContext(context, HelpOwner());
}

void TMainWindow::SetTrayIconActive(bool active)
{
    if (active) {
        m_trayIcon->SetActive(true);
        m_trayPresenter->Win95Tray();
        SayWhenNoTrayHost();
    } else {
        m_trayIcon->SetActive(false);
        m_trayIcon->RestoreFromTray();
        m_settings.NewOrientation =
            static_cast<std::int32_t>(std::abs(static_cast<long long>(m_settings.NewOrientation)));
        m_minimize->setEnabled(true);
    }
    RequestRedraw(m_settings, Redraw::Repaint | Redraw::WindowLamps);
    ComposeSoon();
}

void TMainWindow::AppOnMinimize()
{
    Settings& s = m_settings;
    s.NewOrientation = static_cast<std::int32_t>(-std::abs(static_cast<long long>(s.NewOrientation)));
    MinimizeApplication();
    m_minimize->setEnabled(false);
    if (s.ShowTrayIcon == 1) {
        m_trayIcon->HideToTray();
    }
}

void TMainWindow::AppOnRestore()
{
    Settings& s = m_settings;
    s.NewOrientation = static_cast<std::int32_t>(std::abs(static_cast<long long>(s.NewOrientation)));
    if (isMinimized()) {
        showNormal();
    }
    m_minimize->setEnabled(true);
    RequestRedraw(s, Redraw::WindowLamps);
    ComposeSoon();
}

void TMainWindow::TrayHostChanged()
{
    // The component brings a window in the tray back when the host goes; the layout then
    // counts as shown again.
    if (!m_trayIcon->HostPresent() && m_trayIcon->InTray()) {
        TrayIconDblClick();
    }
}

void TMainWindow::SayWhenNoTrayHost()
{
    if (m_saidNoTrayHost || m_trayIcon->HostPresent()) {
        return;
    }
    m_saidNoTrayHost = true;
    std::cerr << "Sarvendo: no tray host is running: the icon appears when one starts, and until then "
                 "\"Minimize\" leaves the window minimised on the taskbar"
              << std::endl;
}

void TMainWindow::TrayIconDblClick()
{
    m_minimize->setEnabled(true);
    m_trayPresenter->TrayIconDblClick();
    ComposeSoon();
}

void TMainWindow::BringBack()
{
    if (!isVisible() || isMinimized()) {
        TrayIconDblClick();
        showNormal();
    }
    raise();
    activateWindow();
}

void TMainWindow::ImageDblClick()
{
    Settings& s = m_settings;
    if (s.NewOrientation < 0) {
        return;
    }
    const bool hide = s.NoTitleBar == 0;
    s.NoTitleBar = hide ? 1 : 0;
    if (hide) {
        s.WindowHeight -= kClassicSystemMetrics.CySize + 1;
    }
    // The panel stays where it is on the screen while the caption comes or goes above it,
    // whatever height the window manager gives its title bar.
    const QPoint panel = geometry().topLeft();
    SetWindowFlagInPlace(Qt::FramelessWindowHint, hide);
    KeepPanelAt(panel);
    RequestRedraw(s, Redraw::Repaint | Redraw::WindowLamps);
    Compose();
}

void TMainWindow::KeepPanelAt(QPoint panel)
{
    m_panelAnchor = panel;
    m_panelAnchorTimer->start();
    HoldPanelInPlace();
}

void TMainWindow::HoldPanelInPlace()
{
    // The frame's new extents are only known once the window manager has reframed the
    // window: the window is moved by what it measured then, as often as it reframes.
    if (m_panelAnchor && geometry().topLeft() != *m_panelAnchor) {
        const QPoint frameOffset = geometry().topLeft() - pos();
        move(*m_panelAnchor - frameOffset);
    }
}

void TMainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    HoldPanelInPlace();
}

void TMainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_followsScreen || windowHandle() == nullptr) {
        return;
    }
    m_followsScreen = true;
    connect(windowHandle(), &QWindow::screenChanged, this, [this] {
        FollowScreen();
        ScreenChanged();
    });
    FollowScreen();
}

void TMainWindow::FollowScreen()
{
    disconnect(m_screenDpiConnection);
    if (QScreen* shownOn = windowHandle() != nullptr ? windowHandle()->screen() : nullptr) {
        m_screenDpiConnection =
            connect(shownOn, &QScreen::logicalDotsPerInchChanged, this, &TMainWindow::ScreenChanged);
    }
}

void TMainWindow::ScreenChanged()
{
    // Another screen or scale factor changes the panel's metrics as a theme change does.
    RequestRedraw(m_settings, Redraw::WindowLamps | Redraw::Repaint);
    ComposeSoon();
}

void TMainWindow::SetWindowFlagInPlace(Qt::WindowType flag, bool on)
{
    Qt::WindowFlags flags = windowFlags();
    if (flags.testFlag(flag) == on) {
        return;
    }
    flags.setFlag(flag, on);
    // Changed on the existing native window: making it anew would move it by the frame.
    overrideWindowFlags(flags);
    if (QWindow* handle = windowHandle()) {
        handle->setFlags(flags);
    }
}

void TMainWindow::mousePressEvent(QMouseEvent* event)
{
    // The panel is the window's handle: the left button drags it once the pointer has
    // travelled the desktop's drag distance, so the clicks of a double click stay with
    // the window; the right one still opens the popup menu.
    if (event->button() == Qt::LeftButton) {
        m_pressedAt = event->globalPosition().toPoint();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TMainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressedAt && event->buttons().testFlag(Qt::LeftButton) && windowHandle() != nullptr &&
        (event->globalPosition().toPoint() - *m_pressedAt).manhattanLength() >=
            QGuiApplication::styleHints()->startDragDistance()) {
        m_pressedAt.reset();
        m_panelAnchor.reset();
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void TMainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressedAt.reset();
    }
    QWidget::mouseReleaseEvent(event);
}

void TMainWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        ImageDblClick();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void TMainWindow::DrawTitleLamps()
{
    m_titleLamps.DrawTitleLamps();
}

void TMainWindow::ApplyCaptionAndStayOnTop()
{
    Settings& s = m_settings;
    // A caption stored as hidden is hidden at the first paint, which stores it as 1.
    if (s.NoTitleBar < 0) {
        s.NoTitleBar = static_cast<std::int32_t>(-static_cast<long long>(s.NoTitleBar));
        SetWindowFlagInPlace(Qt::FramelessWindowHint, s.NoTitleBar != 0);
    }
    const bool onTop = s.DialogShowing == 0 && (s.OnTop == 1 || (s.OnTop == 2 && s.AutoOnTop == 1));
    SetWindowFlagInPlace(Qt::WindowStaysOnTopHint, onTop);
}

void TMainWindow::Win95Tray()
{
    m_trayPresenter->Win95Tray();
}

void TMainWindow::RepaintWindow()
{
    ComposeSoon();
}

void TMainWindow::ComposeSoon()
{
    // Changes made together (a dialog's controls, a port switch) are composed once, as
    // soon as the event loop is back, whether or not the poll timer runs.
    if (m_composePending) {
        return;
    }
    m_composePending = true;
    QTimer::singleShot(0, this, [this] {
        m_composePending = false;
        if (m_settings.RepaintNeeded == 1) {
            Compose();
        }
    });
}

void TMainWindow::Compose()
{
    if (m_settings.ClosedDown == 1) {
        return;
    }
    m_painter.FormPaint();
    // The panel is centred in the client area as it was when the paint began; when that
    // paint gave the window a new size, the picture is composed once more for it.
    if (m_resized) {
        m_resized = false;
        m_painter.FormPaint();
    }
}

void TMainWindow::InvalidateClientArea()
{
    // A hidden window is composed by the engine's direct paint right after this call.
    if (!ClientAreaHidden()) {
        Compose();
    }
}

bool TMainWindow::ClientAreaHidden() const
{
    return !isVisible() || isMinimized();
}

void TMainWindow::FormPaint()
{
    Compose();
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
    // What wiped the lamps from another program's caption now hides the strip over it;
    // the next paint shows it again where it belongs.
    m_titleLamps.HideCaptionStrip();
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
    const QSize client = PanelPainter::ClientSizeOfWindow(outerWidth, outerHeight, m_settings.NoTitleBar != 1);
    if (client != size()) {
        setFixedSize(client);
        m_resized = true;
    }
}

void TMainWindow::ApplyBackgroundColour()
{
    if (m_settings.BackgroundColor == m_shownBackground) {
        return;
    }
    m_shownBackground = m_settings.BackgroundColor;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(ToQRgb(m_shownBackground)));
    setPalette(colours);
}

void TMainWindow::ShowCanvas(const QImage& canvas)
{
    ApplyBackgroundColour();
    m_image->SetPicture(canvas);
}

void TMainWindow::SetByteLabels(const std::string& transmitted, const std::string& received)
{
    emit ByteLabelsChanged(QString::fromStdString(transmitted), QString::fromStdString(received));
}

} // namespace sarvendo
