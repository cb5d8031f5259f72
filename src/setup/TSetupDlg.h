// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Redraw.h"
#include "core/Settings.h"

#include "platform/SerialDevices.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sarvendo {

class Clipboard;
class ColourChooser;
class ConnectTime;
class Directories;
class EventLogs;
class FileChooser;
class LineSession;
class LogFileActions;
class MessageBoxes;
class ProgramStarter;
class SetupHost;
class Sound;
class TPageControl;
class TRadioGroup;
class TUpDown;
class UrlOpener;
class Watchdog;

// Everything the setup dialog edits or acts on, owned by the program and the main window.
struct SetupDlgParts
{
    Settings& settings;
    LineSession& line;
    ConnectTime& connectTime;
    const EventLogs& logs;
    Watchdog& watchdog;
    ProgramStarter& programs;
    Sound& sound;
    MessageBoxes& messageBoxes;
    const Directories& directories;
    ColourChooser& colours;
    FileChooser& files;
    UrlOpener& urls;
    Clipboard& clipboard;
    LogFileActions& logFiles;
};

// The setup and about dialog: nine pages whose every control is bound to one member of
// the Settings record. It runs modally inside the program's event loop, so the lamps
// keep following the line while it is open, and it changes the settings at once: each
// control stores its value the moment it changes and, where the window must follow,
// asks the host to apply it. There is no Cancel, and nothing is written to the settings
// file here. It is made once, after the main window, and kept, so it opens on the page
// shown last. Its pages and controls are built only when it is first shown: most runs
// never open it, and its few hundred widgets would weigh on every one of them. Every
// showing and every change of page fills the controls from the record (ChangeForm)
// without changing a setting.
class TSetupDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 437;
    static constexpr int kClientHeight = 361;
    static constexpr int kButtonPanelHeight = 34;
    static constexpr int kAboutPage = 8;

    // Help context numbers of the buttons that open the help.
    static constexpr int kIndexHelp = 1;
    static constexpr int kIntroductionHelp = 2;

    TSetupDlg(SetupDlgParts parts, SetupHost& host, QWidget* parent = nullptr);
    ~TSetupDlg() override;

    SetupDlgParts& Parts() { return m_parts; }
    SetupHost& Host() { return m_host; }
    // The pages; null until the dialog is first shown.
    TPageControl* Setup() const { return m_setup; }

    // Fills every control from the record, the port list included (once they are built).
    void ChangeForm();

    // The connection's byte counts, refreshed by the main window while connected; kept
    // for the labels while the pages are not built yet.
    void SetByteLabels(const QString& transmitted, const QString& received);
    // Enabled at each connect, disabled at each disconnect.
    void SetHangUpButtonEnabled(bool enabled);

    // The handlers of the controls that do more than store one value.
    void PortsChange(const QString& text);
    void ButtonDetectComPortsClick();
    void TimerChange(const QString& text);
    void CBSysTrayClick();
    void CBWarnInactiveClick();
    void CBDisconnectInactiveClick();
    void EditAutoRunProgChange(const QString& text);
    void ButtonBrowseAutoRunProgClick();
    void EditModemInitStringChange(const QString& text);
    void ButtonShowLogRIClick();
    void ButtonShowLogCDClick();
    void ButtonDeleteLogRIClick();
    void ButtonDeleteLogCDClick();
    void ButtonResetTotalConnectClick();
    void BtnHangupNOWClick();
    void Button2Click();
    void Button4Click();

    // Builds the pages before the first showing.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct CheckBinding
    {
        QCheckBox* box;
        std::int32_t Settings::*member;
        bool ticksZero; // ticked stands for 0 ("No Startup Logo")
        Redraw redraw;
    };
    struct RadioBinding
    {
        TRadioGroup* group;
        // The item the setting selects; nothing leaves the selection alone.
        std::function<std::optional<int>(const Settings&)> itemFor;
        std::function<void(Settings&, int)> store;
        Redraw redraw;
        QPushButton* testButton; // enabled exactly while the value is not 0, or null
    };
    struct SpinBinding
    {
        QLineEdit* edit;
        TUpDown* upDown;
        std::int32_t Settings::*member;
        QString initialText;
        int store; // a SpinStore
    };
    struct SoundBinding
    {
        TRadioGroup* group;
        std::int32_t Settings::*mode;
        std::string Settings::*path;
        QLabel* label;
        QPushButton* testButton;
    };

    void BuildForm();
    void BuildPages();
    void BuildGeneralPage(QWidget* page);
    void BuildLayoutPage(QWidget* page);
    void BuildSoundsPage(QWidget* page);
    void BuildInactivityPage(QWidget* page);
    void BuildLoggingsPage(QWidget* page);
    void BuildDisplayPage(QWidget* page);
    void BuildTitlebarPage(QWidget* page);
    void BuildTroubleshootingPage(QWidget* page);
    void BuildAboutPage(QWidget* page);
    void BuildButtonPanel();
    void ConnectBindings();

    QCheckBox* AddCheck(QWidget* page, const char* name, const char* caption, QRect geometry,
                        std::int32_t Settings::*member, Redraw redraw = Redraw{}, bool ticksZero = false);
    QLineEdit* AddSpin(QWidget* page, const char* name, const char* upDownName, QRect geometry, int min, int max,
                       std::int32_t Settings::*member, int store, const char* initialText = "0");
    TRadioGroup* AddRadioGroup(QWidget* page, const char* name, const char* caption, const QStringList& items,
                               int columns, QRect geometry);
    void AddListedGroup(TRadioGroup* group, std::int32_t Settings::*member, std::vector<int> values,
                        QPushButton* testButton = nullptr);
    void AddSoundRow(QWidget* page, int top, const char* group, const char* caption, const char* chooser,
                     const char* chooserCaption, const char* test, const char* label, std::int32_t Settings::*mode,
                     std::string Settings::*path, int chooserWidth = 110);
    QPushButton* AddButton(QWidget* page, const char* name, const char* caption, QRect geometry);
    QPushButton* AddHelpButton(QWidget* page, const char* name, int context);
    QLabel* AddLabel(QWidget* page, const char* name, const QString& caption, QRect geometry);

    void CheckClick(const CheckBinding& binding);
    void RadioClick(const RadioBinding& binding);
    void SpinChange(const SpinBinding& binding, const QString& text);
    void ColourClick(ColorRef Settings::*member, Redraw redraw);
    void SoundClick(const SoundBinding& binding);
    void SoundTestClick(const SoundBinding& binding);
    void ShowLog(const std::string& path);
    void DeleteLog(const std::string& path, const char* missingText, const char* question);
    void ApplyRedraw(Redraw redraw);
    void FillPortList();
    void ShowPortDevice();

    SetupDlgParts m_parts;
    SetupHost& m_host;
    Settings& m_settings;
    TPageControl* m_setup = nullptr;

    std::vector<CheckBinding> m_checks;
    std::vector<RadioBinding> m_radios;
    std::vector<SpinBinding> m_spins;
    std::vector<SoundBinding> m_sounds;

    QComboBox* m_ports = nullptr;
    QLabel* m_portDevice = nullptr;
    QLineEdit* m_timer = nullptr;
    QCheckBox* m_sysTray = nullptr;
    QCheckBox* m_lights = nullptr;
    QLabel* m_lightsLabel = nullptr;
    QCheckBox* m_warnInactive = nullptr;
    QCheckBox* m_disconnectInactive = nullptr;
    QLineEdit* m_autoRunProgram = nullptr;
    QLineEdit* m_modemInitString = nullptr;
    QPushButton* m_hangUp = nullptr;
    QLabel* m_labelTD = nullptr;
    QLabel* m_labelRD = nullptr;
    TRadioGroup* m_inDisplay = nullptr;
    TRadioGroup* m_inTitle = nullptr;

    // The outcome of the last probe of each port by "Detect Com Ports", and the ports a
    // switch was refused for, to say why a port is missing or was not taken.
    std::array<std::optional<PortOpenError>, 9> m_probeResults{};
    std::array<bool, 9> m_switchRefused{};

    // What the main window last reported for the byte labels and the hang-up button,
    // given to those controls when they are built.
    QString m_transmittedText;
    QString m_receivedText;
    bool m_hangUpEnabled = false;

    // True while ChangeForm sets the controls: their handlers then store nothing.
    bool m_filling = false;
};

} // namespace sarvendo
