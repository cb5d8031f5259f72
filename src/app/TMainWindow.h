// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Settings.h"

#include "app/DialUpLights.h"
#include "display/CaptionAndTray.h"
#include "display/LampSet.h"
#include "display/LineSessionParameters.h"
#include "display/PanelHost.h"
#include "display/PanelPainter.h"
#include "display/TitleLamps.h"
#include "display/TrayPresenter.h"
#include "monitor/MonitorHost.h"
#include "monitor/PollCycle.h"
#include "platform/SerialDevices.h"
#include "setup/SetupHost.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QMouseEvent;
class QTimer;

namespace sarvendo {

class Clipboard;
class Clock;
class CaptionOverlay;
class Directories;
class ForegroundWindow;
class ColourChooser;
class FileChooser;
class IniFile;
class LineSession;
class LogFileActions;
class LogFiles;
class MessageBoxes;
class NotificationArea;
class PlatformInfo;
class ProgramStarter;
class Screen;
class Sound;
class TextFiles;
struct TextFileSave;
class THelpWindow;
class TimerSource;
class TPGTrayIcon95;
class TrayOwnerWindow;
class TSetupDlg;
class UrlOpener;
struct DateTimeFormats;
struct Settings;

// Everything the main window works with, made by the program entry (or a test) before
// the window: the record, the platform and the line.
struct MainWindowServices
{
    Settings& settings;
    const Directories& directories;
    const TextFiles& files;
    const Screen& screen;
    const PlatformInfo& platform;
    const Clock& clock;
    const DateTimeFormats& formats;
    MessageBoxes& messageBoxes;
    Sound& sound;
    ProgramStarter& programs;
    LogFiles& logFiles;
    LineSession& line;
    // The notification area and the timer of the tray icon, and the window operations it
    // needs, made for the main window once it exists.
    NotificationArea& notificationArea;
    TimerSource& trayTimer;
    std::function<std::unique_ptr<TrayOwnerWindow>(QWidget& window)> makeTrayOwnerWindow;
    // The active window of the desktop and the strip shown over its caption.
    ForegroundWindow& foregroundWindow;
    CaptionOverlay& captionOverlay;
    // The setup dialog's choosers and desktop services.
    ColourChooser& colourChooser;
    FileChooser& fileChooser;
    UrlOpener& urlOpener;
    Clipboard& clipboard;
    LogFileActions& logFileActions;
    // Where the poll cycle reports to the connection history; none when it is not kept.
    HistoryHost* history = nullptr;
};

// The lamp panel as the window shows it: the picture composed by the last paint, copied
// as it is. Its own paint never composes anything.
class TImage : public QWidget
{
    Q_OBJECT

public:
    explicit TImage(QWidget* parent);

    // Takes a newly composed picture; repaints only when it differs from the one shown.
    // Returns whether it did.
    bool SetPicture(const QImage& picture);
    const QImage& Picture() const { return m_picture; }
    int Repaints() const { return m_repaints; }
    // Called at every repaint; for measuring how often the panel is drawn.
    void SetRepaintObserver(std::function<void()> observer) { m_repaintObserver = std::move(observer); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    int m_repaints = 0;
    std::function<void()> m_repaintObserver;
};

// The program's main window from start-up to close: it loads the settings and chooses
// the monitored port (FormCreate), drives the poll timer, carries the popup menu with
// its "System" section, takes the dial-up notification, and writes everything back
// exactly once when it closes (FClose), whichever way the program ends.
//
// It owns the monitoring engine and the panel painter, being the host of both: a tick
// or a change of settings composes the panel at once, and a paint of the window only
// copies the finished picture, so painting never causes painting and nothing is drawn
// while nothing changed.
class TMainWindow : public QWidget, public MonitorHost, public PanelHost, public SetupHost, public CaptionAndTray
{
    Q_OBJECT

public:
    enum class StartOutcome
    {
        Refused,            // wrong platform or port not available; the program must end without FClose
        RunningWithoutPort, // first start: nothing monitored until a port is chosen
        Running,
        Ended, // asked to end, or ended by itself, before start-up was done
    };

    // Commands of the "System" part of the menu.
    static constexpr int kUpdateLampsNow = 300;
    static constexpr int kSetupAbout = 301;
    static constexpr int kHelp = 302;

    explicit TMainWindow(MainWindowServices services, QWidget* parent = nullptr);
    ~TMainWindow() override;

    // The start-up sequence on the settings file as it was read at start;
    // arguments are the program's arguments without its name.
    StartOutcome FormCreate(const IniFile& ini, const std::vector<std::string>& arguments);

    // The close query: may ask whether to exit while connected. True when the window may
    // close; it has then already run FClose.
    bool FormCloseQuery();
    void FormClose();
    // Stores the settings and releases the line; runs once however often it is called.
    void FClose();

    // An orderly end without questions (a termination signal): FClose, then the window
    // closes and the event loop ends. During start-up it closes the box start-up waits in
    // and start-up ends without writing anything.
    void CloseWithoutQuery();
    bool StartupDone() const { return m_startupDone; }

    // The dial-up notification; only tag 1 carries one.
    void WMCopyData(unsigned tag, const std::string& text);
    // A command of the "System" part of the menu.
    void WMSysCommand(int command);

    void PopupMenuPopup();
    void ShowSetupDialog();
    // Shows or hides the window's caption in place; nothing while minimised.
    void ImageDblClick();
    // The application's minimise and restore handlers, also run by the "Minimize" item.
    void AppOnMinimize();
    void AppOnRestore();
    // The way back from the notification area.
    void TrayIconDblClick();
    // Shows the window to the user wherever it is: minimised, in the tray or behind others.
    void BringBack();
    void HelpClick();
    void TimerTimer();

    QMenu* PopupMenu() const { return m_popupMenu; }
    QTimer* Timer() const { return m_timer; }
    THelpWindow* HelpWindow() const { return m_helpWindow; }
    TSetupDlg* SetupDialog() const { return m_setupDialog; }
    TImage* Image() const { return m_image; }
    TPGTrayIcon95* TrayIcon() const { return m_trayIcon; }
    PollCycle& Engine() { return m_pollCycle; }
    PanelPainter& Painter() { return m_painter; }
    // The "Update Lamps &Now!" item while it is in the menu, else null.
    QAction* UpdateLampsNowItem() const { return m_updateLampsNow; }
    int MonitoredPort() const;

    // MonitorHost
    void InvalidateClientArea() override;
    bool ClientAreaHidden() const override;
    void FormPaint() override;
    void SetHangUpButtonEnabled(bool enabled) override;
    void MakeTopmost() override;
    void StopPollTimer() override;
    void RunCloseQuery() override;
    void RequestApplicationEnd() override;
    void RedrawForegroundCaption() override;

    // PanelHost
    QSize ClientSize() const override;
    void MinimizeApplication() override;
    void ResizeWindow(int outerWidth, int outerHeight) override;
    void ShowCanvas(const QImage& canvas) override;
    void SetByteLabels(const std::string& transmitted, const std::string& received) override;

    // SetupHost
    void ApplyTimerInterval() override;
    void SwitchPort(int port) override;
    void SetTrayIconActive(bool active) override;
    void RepaintWindow() override;
    void HangUpNow() override;
    void ShowHelp(int context) override;

    // CaptionAndTray
    void DrawTitleLamps() override;
    void ApplyCaptionAndStayOnTop() override;
    void Win95Tray() override;

signals:
    // The program entry ends the event loop on this; the window itself never does, so it
    // can be driven without one.
    void ApplicationEndRequested();
    // The "History..." item of the "System" submenu was chosen.
    void HistoryRequested();
    // The byte labels' captions for the setup dialog.
    void ByteLabelsChanged(const QString& transmitted, const QString& received);
    void HangUpButtonEnabledChanged(bool enabled);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateMenus();
    bool ChoosePort();
    void ProbePorts();
    void ClearLineState();
    void UpdateLampsNowItemForInterval();
    void ShowSplashAndPlaySound();
    void StartAutoRunProgram();
    void ShowStartupBox(std::string_view text, bool stopIcon);
    bool StartupInterrupted() const;
    void ReportRefusedPort(int port) const;
    QWidget* HelpOwner();
    void ReportSettingsFile(const IniFile& ini);
    bool SaveFailureToSay(const TextFileSave& saved);
    void Compose();
    void ComposeSoon();
    void ApplyBackgroundColour();
    void CreateTrayIcon();
    void SetWindowFlagInPlace(Qt::WindowType flag, bool on);
    void KeepPanelAt(QPoint panel);
    void HoldPanelInPlace();
    void FollowScreen();
    void ScreenChanged();
    void TrayHostChanged();
    void SayWhenNoTrayHost();

    MainWindowServices m_services;
    Settings& m_settings;
    DialUpLights m_lights{m_services.programs};

    // The engine and the painter, with the adapter that lets the painter see the line.
    PollCycle m_pollCycle;
    LineSessionParameters m_lineParameters;
    LampSet m_lamps;
    PanelPainter m_painter;
    TitleLamps m_titleLamps;

    TImage* m_image = nullptr;
    QMenu* m_popupMenu = nullptr;
    QMenu* m_systemMenu = nullptr;
    QAction* m_setupAbout = nullptr;
    QAction* m_toggleTitlebarOnOff = nullptr;
    QAction* m_resetSessionConnectTime = nullptr;
    QAction* m_resetTotalConnectTime = nullptr;
    QAction* m_hangupNow = nullptr;
    QAction* m_minimize = nullptr;
    QAction* m_helpItem = nullptr;
    QAction* m_exitSarvendo = nullptr;
    QAction* m_updateLampsNow = nullptr;
    QTimer* m_timer = nullptr;
    THelpWindow* m_helpWindow = nullptr;
    TSetupDlg* m_setupDialog = nullptr;
    std::unique_ptr<TrayOwnerWindow> m_trayOwner;
    TPGTrayIcon95* m_trayIcon = nullptr;
    std::unique_ptr<TrayPresenter> m_trayPresenter;

    ColorRef m_shownBackground = 0xFFFFFFFFU;
    bool m_pollTimerStoppedForGood = false;
    bool m_skipCloseQuery = false;
    bool m_composePending = false;
    bool m_startupDone = false;
    bool m_endRequested = false;
    bool m_closing = false;
    // The settings file exists but could not be read: start-up said so instead of welcoming.
    bool m_settingsUnread = false;
    // That the settings file is read-only has been said; it is said once a run.
    bool m_readOnlySaid = false;
    // Why each port could not be opened at start-up's probe, for the refusal's reason.
    std::array<PortOpenError, 10> m_probeErrors{};
    bool m_resized = false;
    // The left button's press on the panel; a drag starts once it has travelled far enough.
    std::optional<QPoint> m_pressedAt;
    // Where the panel must stay while the window manager reframes the window around it.
    std::optional<QPoint> m_panelAnchor;
    QTimer* m_panelAnchorTimer = nullptr;
    QMetaObject::Connection m_screenDpiConnection;
    bool m_followsScreen = false;
    bool m_saidNoTrayHost = false;
};

} // namespace sarvendo
