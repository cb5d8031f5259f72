// SPDX-License-Identifier: GPL-3.0-or-later
#include "TMainWindow.h"

#include "core/IniFile.h"
#include "core/Redraw.h"
#include "core/SettingsStore.h"

#include "app/DialUpNotification.h"
#include "app/StandardStreams.h"
#include "app/WindowFlags.h"
#include "components/TPGTrayIcon95.h"
#include "line/LineSession.h"
#include "platform/Directories.h"
#include "platform/MessageBoxes.h"
#include "resources/Resources.h"
#include "setup/TSetupDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyleHints>
#include <QWindow>

#include <cstdlib>

namespace sarvendo {
namespace {

constexpr std::string_view kStillConnectedText = "Still connected! Exit Sarvendo anyway?";

constexpr int kHelpContents = 1;
constexpr int kUnpaintedWidth = 299;
constexpr int kUnpaintedHeight = 205;

} // namespace

// The poll driver is made before the panel it paints through, as the panel shows the
// engine's connect time; neither calls the other before both are made.
TMainWindow::TMainWindow(MainWindowServices services, QWidget* parent)
    : QWidget(parent), m_services(services), m_settings(services.settings),
      m_lineParameters(services.settings, services.line), m_menus(*this),
      m_tray(*this, m_services, m_lineParameters, [this] { return m_menus.PopupMenu(); }),
      m_poll(*this, m_services, m_panel), m_panel(*this, services.settings, m_lineParameters, services.foregroundWindow,
                                                  services.captionOverlay, m_poll.Engine().Time(), m_tray),
      m_setupAndHelp(*this, m_services, m_poll.Engine())
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

    ConnectParts();
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::ConnectParts()
{
    connect(&m_menus, &MainMenus::AboutToShow, this, &TMainWindow::PopupMenuPopup);
    connect(&m_menus, &MainMenus::SetupAboutChosen, this, &TMainWindow::ShowSetupDialog);
    connect(&m_menus, &MainMenus::ToggleTitlebarChosen, this, &TMainWindow::ImageDblClick);
    connect(&m_menus, &MainMenus::ResetSessionConnectTimeChosen, this,
            [this] { m_poll.Engine().Time().ResetSessionConnectTimeClick(); });
    connect(&m_menus, &MainMenus::ResetTotalConnectTimeChosen, this,
            [this] { m_poll.Engine().Time().ResetTotalConnectTimeClick(); });
    connect(&m_menus, &MainMenus::HangUpChosen, this, [this] { m_setupAndHelp.HangUpNow(); });
    connect(&m_menus, &MainMenus::MinimizeChosen, this, &TMainWindow::AppOnMinimize);
    connect(&m_menus, &MainMenus::HelpChosen, this, &TMainWindow::HelpClick);
    connect(&m_menus, &MainMenus::ExitChosen, this, &QWidget::close);
    connect(&m_menus, &MainMenus::HistoryChosen, this, &TMainWindow::HistoryRequested);
    connect(&m_menus, &MainMenus::SystemCommandChosen, this, &TMainWindow::WMSysCommand);

    connect(&m_placement, &WindowPlacement::ScreenChanged, this, &TMainWindow::ScreenChanged);
    connect(&m_tray, &MainTray::DoubleClicked, this, &TMainWindow::TrayIconDblClick);
    connect(&m_tray, &MainTray::HostLeftWhileInTray, this, &TMainWindow::TrayIconDblClick);

    connect(&m_poll, &PollDriver::ApplicationEndRequested, this, &TMainWindow::ApplicationEndRequested);
    connect(&m_poll, &PollDriver::HangUpButtonEnabledChanged, &m_setupAndHelp, &SetupAndHelp::SetHangUpButtonEnabled);
    connect(&m_panel, &PanelView::ByteLabelsChanged, &m_setupAndHelp, &SetupAndHelp::SetByteLabels);
}

int TMainWindow::MonitoredPort() const
{
    return m_settings.DefaultPort;
}

void TMainWindow::ApplyTimerInterval()
{
    m_menus.OfferUpdateLampsNow(m_settings.TimerInterval <= 0);
    m_poll.ApplyTimerInterval();
}

void TMainWindow::RepaintWindow()
{
    m_panel.ComposeSoon();
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
    m_poll.StopForClose();
    if (s.Title == 1 || s.Title == 2) {
        m_poll.RedrawForegroundCaption();
    }
    if (s.LampCD != 0) {
        m_poll.Engine().Time().EndSession();
    }
    // Log records a failing file held back are tried once more; where those still held
    // wait for the next start, or that they are lost, is said, as no box could help any more.
    for (const std::string& note : m_poll.Engine().WriteUnwrittenLogs()) {
        TellStandardError(note);
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
        TellStandardError("the settings were not saved to " + iniPath + ": " + saved.problem);
    }

    m_setupAndHelp.QuitHelp();
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
    emit ApplicationEndRequested();
}

void TMainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_skipCloseQuery && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    m_poll.StopForClose();
    event->accept();
    emit ApplicationEndRequested();
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
    m_menus.ShowConnected(m_settings.LampCD != 0);
}

void TMainWindow::ShowSetupDialog()
{
    m_setupAndHelp.RunSetupDialog();
    // The dialog may have changed the number of polls per second.
    ApplyTimerInterval();
    RequestRedraw(m_settings, Redraw::Repaint);
    m_settings.DialogShowing = 0;
    m_panel.ComposeSoon();
}

void TMainWindow::HelpClick()
{
    m_setupAndHelp.ShowHelp(kHelpContents);
}

void TMainWindow::TimerTimer()
{
    m_poll.Tick();
}

void TMainWindow::SetTrayIconActive(bool active)
{
    m_tray.SetActive(active);
    if (active) {
        m_tray.Win95Tray();
    } else {
        m_settings.NewOrientation =
            static_cast<std::int32_t>(std::abs(static_cast<long long>(m_settings.NewOrientation)));
        m_menus.SetMinimizeEnabled(true);
    }
    RequestRedraw(m_settings, Redraw::Repaint | Redraw::WindowLamps);
    m_panel.ComposeSoon();
}

void TMainWindow::AppOnMinimize()
{
    Settings& s = m_settings;
    s.NewOrientation = static_cast<std::int32_t>(-std::abs(static_cast<long long>(s.NewOrientation)));
    m_panel.MinimizeApplication();
    m_menus.SetMinimizeEnabled(false);
    if (s.ShowTrayIcon == 1) {
        m_tray.Icon().HideToTray();
    }
}

void TMainWindow::AppOnRestore()
{
    Settings& s = m_settings;
    s.NewOrientation = static_cast<std::int32_t>(std::abs(static_cast<long long>(s.NewOrientation)));
    if (isMinimized()) {
        showNormal();
    }
    m_menus.SetMinimizeEnabled(true);
    RequestRedraw(s, Redraw::WindowLamps);
    m_panel.ComposeSoon();
}

void TMainWindow::TrayIconDblClick()
{
    m_menus.SetMinimizeEnabled(true);
    m_tray.BackFromTray();
    m_panel.ComposeSoon();
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
    SetWindowFlagInPlace(*this, Qt::FramelessWindowHint, hide);
    m_placement.KeepPanelAt(panel);
    RequestRedraw(s, Redraw::Repaint | Redraw::WindowLamps);
    m_panel.Compose();
}

void TMainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    m_placement.WindowMoved();
}

void TMainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_placement.WindowShown();
}

void TMainWindow::ScreenChanged()
{
    // Another screen or scale factor changes the panel's metrics as a theme change does.
    RequestRedraw(m_settings, Redraw::WindowLamps | Redraw::Repaint);
    m_panel.ComposeSoon();
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
        m_placement.LetGo();
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

} // namespace sarvendo
