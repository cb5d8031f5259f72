#pragma once

#include "app/DialUpLights.h"
#include "display/PanelHost.h"
#include "monitor/MonitorHost.h"

#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace sarvendo {

class Clock;
class Directories;
class MainWindowDisplay;
class MainWindowEngine;
class MessageBoxes;
class PlatformInfo;
class ProgramStarter;
class Screen;
class Sound;
class StartupLine;
class TextFiles;
class THelpWindow;
class TSetupDlg;
struct Settings;

// Everything the main window works with, handed in by the program entry (or a test).
struct MainWindowServices
{
    Settings& settings;
    const Directories& directories;
    const TextFiles& files;
    const Screen& screen;
    const PlatformInfo& platform;
    MessageBoxes& messageBoxes;
    Sound& sound;
    ProgramStarter& programs;
    StartupLine& line;
};

// The program's main window from start-up to close: it loads the settings and chooses
// the monitored port (FormCreate), drives the poll timer, carries the popup menu with
// its "System" section, takes the dial-up notification, and writes everything back
// exactly once when it closes (FClose), whichever way the program ends. It is the
// monitoring engine's host and the panel painter's window.
class TMainWindow : public QWidget, public MonitorHost, public PanelHost
{
    Q_OBJECT

public:
    enum class StartOutcome
    {
        Refused,            // wrong platform or port not available; the program must end without FClose
        RunningWithoutPort, // first start: nothing monitored until a port is chosen
        Running,
    };

    // Commands of the "System" part of the menu.
    static constexpr int kUpdateLampsNow = 300;
    static constexpr int kSetupAbout = 301;
    static constexpr int kHelp = 302;

    explicit TMainWindow(MainWindowServices services, QWidget* parent = nullptr);
    ~TMainWindow() override;

    // The engine and the display are made after the window, since they need it as their
    // host; until they are attached, ticks and paints have nothing to run.
    void AttachEngine(MainWindowEngine* engine) { m_engine = engine; }
    void AttachDisplay(MainWindowDisplay* display) { m_display = display; }
    void AttachSetupDialog(TSetupDlg* setupDialog) { m_setupDialog = setupDialog; }

    // The start-up sequence. arguments are the program's arguments without its name.
    StartOutcome FormCreate(const std::vector<std::string>& arguments);

    // The close query: may ask whether to exit while connected. True when the window may
    // close; it has then already run FClose.
    bool FormCloseQuery();
    void FormClose();
    // Stores the settings and releases the line; runs once however often it is called.
    void FClose();

    // An orderly end without questions (a termination signal): FClose, then the window
    // closes and the event loop ends.
    void CloseWithoutQuery();

    // The dial-up notification; only tag 1 carries one.
    void WMCopyData(unsigned tag, const std::string& text);
    // A command of the "System" part of the menu.
    void WMSysCommand(int command);

    void PopupMenuPopup();
    void ShowSetupDialog();
    void HelpClick();
    void TimerTimer();

    QMenu* PopupMenu() const { return m_popupMenu; }
    QTimer* Timer() const { return m_timer; }
    THelpWindow* HelpWindow() const { return m_helpWindow; }
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

signals:
    // The program entry ends the event loop on this; the window itself never does, so it
    // can be driven without one.
    void ApplicationEndRequested();
    // The byte labels' captions for the setup dialog.
    void ByteLabelsChanged(const QString& transmitted, const QString& received);
    void HangUpButtonEnabledChanged(bool enabled);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    bool ChoosePort();
    void SetTimerPeriod();
    void UpdateLampsNowItemForInterval();
    void ShowSplashAndPlaySound();
    void StartAutoRunProgram();
    void ShowStartupBox(std::string_view text, bool stopIcon);

    MainWindowServices m_services;
    Settings& m_settings;
    DialUpLights m_lights{m_services.programs};
    MainWindowEngine* m_engine = nullptr;
    MainWindowDisplay* m_display = nullptr;
    TSetupDlg* m_setupDialog = nullptr;

    QLabel* m_image = nullptr;
    QMenu* m_popupMenu = nullptr;
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

    bool m_pollTimerStoppedForGood = false;
    bool m_skipCloseQuery = false;
};

} // namespace sarvendo
