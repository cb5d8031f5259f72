// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DialUpLights.h"
#include "app/MainMenus.h"
#include "app/MainTray.h"
#include "app/MainWindowServices.h"
#include "app/PanelView.h"
#include "app/PollDriver.h"
#include "app/SetupAndHelp.h"
#include "app/TImage.h"
#include "app/WindowPlacement.h"
#include "display/LineSessionParameters.h"
#include "platform/SerialDevices.h"

#include <QWidget>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QMouseEvent;
class QTimer;

namespace sarvendo {

class IniFile;
class THelpWindow;
class TPGTrayIcon95;
class TSetupDlg;
struct TextFileSave;

// The program's main window from start-up to close: it loads the settings and chooses
// the monitored port (FormCreate), shows the panel, answers its menus, takes the dial-up
// notification, and writes everything back exactly once when it closes (FClose),
// whichever way the program ends.
//
// Its parts each do one job: the menus, the tray icon, the poll timer with the engine,
// the panel with its painter (a tick or a change of settings composes; the window's own
// paint only copies the finished picture), and the setup dialog with the help.
class TMainWindow : public QWidget
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
    static constexpr int kUpdateLampsNow = MainMenus::kUpdateLampsNow;
    static constexpr int kSetupAbout = MainMenus::kSetupAbout;
    static constexpr int kHelp = MainMenus::kHelp;

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

    // What the setup dialog asks of the window.
    void ApplyTimerInterval();
    void SwitchPort(int port);
    void SetTrayIconActive(bool active);
    void RepaintWindow();

    QMenu* PopupMenu() { return m_menus.PopupMenu(); }
    QTimer* Timer() const { return m_poll.Timer(); }
    // Null until the help is first opened.
    THelpWindow* HelpWindow() const { return m_setupAndHelp.HelpWindow(); }
    // Made at the first call.
    TSetupDlg* SetupDialog() { return m_setupAndHelp.Dialog(); }
    TImage* Image() const { return m_panel.Image(); }
    TPGTrayIcon95* TrayIcon() const { return &m_tray.Icon(); }
    PollCycle& Engine() { return m_poll.Engine(); }
    PanelPainter& Painter() { return m_panel.Painter(); }
    // The "Update Lamps &Now!" item while it is in the menu, else null.
    QAction* UpdateLampsNowItem() { return m_menus.UpdateLampsNowItem(); }
    int MonitoredPort() const;

signals:
    // The program entry ends the event loop on this; the window itself never does, so it
    // can be driven without one.
    void ApplicationEndRequested();
    // The "History..." item of the "System" submenu was chosen.
    void HistoryRequested();

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
    void ConnectParts();
    bool ChoosePort();
    void ProbePorts();
    void ApplyPortSettings();
    void ShowSplashAndPlaySound();
    void StartAutoRunProgram();
    void ShowStartupBox(std::string_view text, bool stopIcon);
    bool StartupInterrupted() const;
    void ReportRefusedPort(int port) const;
    void ReportSettingsFile(const IniFile& ini);
    bool SaveFailureToSay(const TextFileSave& saved);
    void ScreenChanged();

    MainWindowServices m_services;
    Settings& m_settings;
    DialUpLights m_lights{m_services.programs};
    // The line as the panel, the caption strip and the tray icon show it.
    LineSessionParameters m_lineParameters;
    MainMenus m_menus;
    MainTray m_tray;
    PollDriver m_poll;
    PanelView m_panel;
    SetupAndHelp m_setupAndHelp;
    WindowPlacement m_placement{*this};

    bool m_skipCloseQuery = false;
    bool m_startupDone = false;
    bool m_endRequested = false;
    bool m_closing = false;
    // The settings file exists but could not be read: start-up said so instead of welcoming.
    bool m_settingsUnread = false;
    // That the settings file is read-only has been said; it is said once a run.
    bool m_readOnlySaid = false;
    // Why each port could not be opened at start-up's probe, for the refusal's reason.
    std::array<PortOpenError, 10> m_probeErrors{};
    // The left button's press on the panel; a drag starts once it has travelled far enough.
    std::optional<QPoint> m_pressedAt;
};

} // namespace sarvendo
