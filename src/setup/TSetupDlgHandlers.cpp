// SPDX-License-Identifier: GPL-3.0-or-later
// The setup dialog's fill and its handlers: every change is stored in the record at once
// and, where the window must follow, applied at once through the host.
#include "TSetupDlg.h"

#include "line/LineSession.h"
#include "monitor/ConnectTime.h"
#include "monitor/EventLogs.h"
#include "monitor/Watchdog.h"
#include "platform/ColourChooser.h"
#include "platform/Directories.h"
#include "platform/FileChooser.h"
#include "platform/LogFileActions.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramStarter.h"
#include "platform/Sound.h"
#include "platform/UrlOpener.h"
#include "setup/SetupHost.h"
#include "setup/SpinFieldRule.h"
#include "setup/TPageControl.h"
#include "setup/TRadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <cstdlib>

namespace sarvendo {
namespace {

constexpr int kProbedPorts = 4;
constexpr int kHighestPort = 9;
// The desktop's editor of modem and dial-up connections.
constexpr const char* kConnectionEditor = "nm-connection-editor";
constexpr std::string_view kNoConnectionEditorText =
    "No connection editor is installed. Install nm-connection-editor (NetworkManager) to set up the modem's "
    "connections.";

QString PortName(int port)
{
    return QStringLiteral("COM") + QString::number(port);
}

// The port a list text names: exactly "COM1" to "COM9", upper case, nothing around it.
std::optional<int> PortOfText(const QString& text)
{
    if (text.size() == 4 && text.startsWith(QLatin1String("COM")) && text[3] >= QLatin1Char('1') &&
        text[3] <= QLatin1Char('9')) {
        return text[3].unicode() - u'0';
    }
    return std::nullopt;
}

} // namespace

void TSetupDlg::showEvent(QShowEvent* event)
{
    ChangeForm();
    // Centred on the screen, not on the main window, which may sit in a corner.
    if (const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen()) {
        const QRect area = shown->availableGeometry();
        move(area.center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TSetupDlg::ChangeForm()
{
    // Unbuilt controls have nothing to show; the first showing builds and fills them.
    if (m_setup == nullptr) {
        return;
    }
    const Settings& s = m_settings;
    m_filling = true;
    FillPortList();
    m_timer->setText(QString::number(s.TimerInterval));
    for (const CheckBinding& binding : m_checks) {
        const bool ticked = binding.ticksZero ? s.*binding.member == 0 : s.*binding.member == 1;
        // The tray box's handler runs when this changes it, as the new port's tray setting
        // must take effect; it stores the value just read.
        binding.box->setChecked(ticked);
    }
    for (const RadioBinding& binding : m_radios) {
        if (const std::optional<int> item = binding.itemFor(s)) {
            binding.group->SetItemIndex(*item);
        }
    }
    for (const SpinBinding& binding : m_spins) {
        binding.edit->setText(QString::number(s.*binding.member));
    }
    for (const SoundBinding& binding : m_sounds) {
        binding.label->setText(QString::fromStdString(s.*binding.path));
        binding.testButton->setEnabled(s.*binding.mode != 0);
    }
    m_autoRunProgram->setText(QString::fromStdString(s.AutoRunProgram));
    m_modemInitString->setText(QString::fromStdString(s.ModemInitString.str()));
    // The lights program is offered only with the dial-up kind that can start it.
    m_lights->setVisible(s.DialUpKind == 2);
    m_lightsLabel->setVisible(s.DialUpKind == 2);

    const bool connected = s.LampCD != 0;
    m_hangUp->setEnabled(connected);
    if (connected) {
        m_labelTD->setText(QStringLiteral("Transmitted bytes: ") + QString::number(s.SessionSent));
        m_labelRD->setText(QStringLiteral("   Received bytes: ") + QString::number(s.SessionReceived));
    }
    m_filling = false;
}

void TSetupDlg::SetByteLabels(const QString& transmitted, const QString& received)
{
    m_transmittedText = transmitted;
    m_receivedText = received;
    if (m_labelTD != nullptr) {
        m_labelTD->setText(transmitted);
        m_labelRD->setText(received);
    }
}

void TSetupDlg::SetHangUpButtonEnabled(bool enabled)
{
    m_hangUpEnabled = enabled;
    if (m_hangUp != nullptr) {
        m_hangUp->setEnabled(enabled);
    }
}

void TSetupDlg::ApplyRedraw(Redraw redraw)
{
    if (redraw == Redraw{}) {
        return;
    }
    RequestRedraw(m_settings, redraw);
    m_host.RepaintWindow();
}

void TSetupDlg::CheckClick(const CheckBinding& binding)
{
    if (m_filling) {
        return;
    }
    const bool ticked = binding.box->isChecked();
    m_settings.*binding.member = binding.ticksZero ? (ticked ? 0 : 1) : (ticked ? 1 : 0);
    ApplyRedraw(binding.redraw);
}

void TSetupDlg::RadioClick(const RadioBinding& binding)
{
    if (m_filling) {
        return;
    }
    binding.store(m_settings, binding.group->ItemIndex());
    if (binding.testButton != nullptr) {
        for (const SoundBinding& sound : m_sounds) {
            if (sound.group == binding.group) {
                binding.testButton->setEnabled(m_settings.*sound.mode != 0);
            }
        }
    }
    ApplyRedraw(binding.redraw);
}

void TSetupDlg::SpinChange(const SpinBinding& binding, const QString& text)
{
    if (m_filling) {
        return;
    }
    const std::optional<std::int32_t> value =
        SpinFieldValue(text.toStdString(), binding.initialText.toStdString(), static_cast<SpinStore>(binding.store));
    if (value) {
        m_settings.*binding.member = *value;
    }
}

void TSetupDlg::TimerChange(const QString& text)
{
    if (m_filling) {
        return;
    }
    const std::optional<std::int32_t> value = SpinFieldValue(text.toStdString(), "0", SpinStore::Any);
    if (!value) {
        return;
    }
    m_settings.TimerInterval = *value;
    m_host.ApplyTimerInterval();
}

void TSetupDlg::CBSysTrayClick()
{
    Settings& s = m_settings;
    const bool ticked = m_sysTray->isChecked();
    s.ShowTrayIcon = ticked ? 1 : 0;
    m_host.SetTrayIconActive(ticked);
    if (!ticked) {
        // Without the tray the window is the only way back: it must not stay minimised.
        s.NewOrientation = std::abs(s.NewOrientation);
    }
    ApplyRedraw(Redraw::Repaint | Redraw::WindowLamps);
}

void TSetupDlg::CBWarnInactiveClick()
{
    if (m_filling) {
        return;
    }
    m_settings.WarnIfInactive = m_warnInactive->isChecked() ? 1 : 0;
    m_parts.watchdog.WarnIfInactiveToggled();
}

void TSetupDlg::CBDisconnectInactiveClick()
{
    if (m_filling) {
        return;
    }
    m_settings.DisconnectIfInactive = m_disconnectInactive->isChecked() ? 1 : 0;
    m_parts.watchdog.DisconnectIfInactiveToggled();
}

void TSetupDlg::EditAutoRunProgChange(const QString& text)
{
    if (!m_filling) {
        m_settings.AutoRunProgram = text.toStdString();
    }
}

void TSetupDlg::ButtonBrowseAutoRunProgClick()
{
    // A Linux program carries no name ending to filter by, so every file is offered.
    const std::optional<std::string> chosen =
        m_parts.files.ChooseFileToOpen(m_settings.AutoRunProgram, {{"All files", "*"}});
    if (chosen) {
        m_settings.AutoRunProgram = *chosen;
    }
    m_autoRunProgram->setText(QString::fromStdString(m_settings.AutoRunProgram));
}

void TSetupDlg::EditModemInitStringChange(const QString& text)
{
    if (!m_filling) {
        m_settings.ModemInitString = text.toStdString();
    }
}

void TSetupDlg::ColourClick(ColorRef Settings::*member, Redraw redraw)
{
    if (const std::optional<std::uint32_t> chosen = m_parts.colours.ChooseColour(m_settings.*member)) {
        m_settings.*member = *chosen;
    }
    // Whether or not a colour was taken, the lamps are made again.
    ApplyRedraw(redraw);
}

void TSetupDlg::SoundClick(const SoundBinding& binding)
{
    std::string& path = m_settings.*binding.path;
    const std::string initial = path.empty() ? m_parts.directories.SoundDirectory() + "/*.wav" : path;
    if (const std::optional<std::string> chosen =
            m_parts.files.ChooseFileToOpen(initial, {{"Sound files", "*.wav"}, {"All files", "*"}})) {
        path = *chosen;
    }
    binding.label->setText(QString::fromStdString(path));
}

void TSetupDlg::SoundTestClick(const SoundBinding& binding)
{
    switch (m_settings.*binding.mode) {
    case 1:
        // Played to the end before the dialog goes on.
        m_parts.sound.PlayWave(m_settings.*binding.path);
        break;
    case 2:
        m_parts.sound.Beep();
        break;
    default:
        break;
    }
}

void TSetupDlg::ShowLog(const std::string& path)
{
    const std::string editor = m_settings.EditorName.str();
    if (!editor.empty() && m_parts.programs.Start({editor, path})) {
        return;
    }
    if (m_parts.urls.Open(path)) {
        return;
    }
    // Without any viewer the user at least learns where the log is.
    m_parts.messageBoxes.Show("No program to show the log is installed. The log is the file " + path,
                              MessageButtons::Ok, MessageIcon::Information);
}

void TSetupDlg::ButtonShowLogRIClick()
{
    ShowLog(m_parts.logs.RingLogPath());
}

void TSetupDlg::ButtonShowLogCDClick()
{
    ShowLog(m_parts.logs.ConnectLogPath());
}

void TSetupDlg::DeleteLog(const std::string& path, const char* missingText, const char* question)
{
    if (!m_parts.logFiles.CanOpenForReading(path)) {
        m_parts.messageBoxes.Show(missingText, MessageButtons::Ok, MessageIcon::Error);
        return;
    }
    // Nothing is held open while the user decides, so the poll cycle may go on writing.
    if (m_parts.messageBoxes.Show(question, MessageButtons::OkCancel, MessageIcon::Warning) == MessageResult::Ok) {
        m_parts.logFiles.Remove(path);
    }
}

void TSetupDlg::ButtonDeleteLogRIClick()
{
    DeleteLog(m_parts.logs.RingLogPath(), "Can not find the log file SARVENDO.RI", "Delete RI Log file?");
}

void TSetupDlg::ButtonDeleteLogCDClick()
{
    DeleteLog(m_parts.logs.ConnectLogPath(), "Can not find the log file SARVENDO.DCD", "Delete Connect Log file?");
}

void TSetupDlg::ButtonResetTotalConnectClick()
{
    m_parts.connectTime.ResetFromSetupDialog();
    ApplyRedraw(Redraw::Repaint);
}

void TSetupDlg::BtnHangupNOWClick()
{
    m_host.HangUpNow();
}

void TSetupDlg::Button2Click()
{
    if (!m_parts.programs.Start({kConnectionEditor})) {
        m_parts.messageBoxes.Show(kNoConnectionEditorText, MessageButtons::Ok, MessageIcon::Information);
    }
}

void TSetupDlg::Button4Click()
{
    m_parts.line.SendModemInit(ModemInitCaller::SendNowButton);
}

void TSetupDlg::FillPortList()
{
    const Settings& s = m_settings;
    m_ports->clear();
    const SerialDevices& devices = m_parts.line.Platform().serialDevices;
    for (int port = 1; port <= kProbedPorts; ++port) {
        if (s.PortAvailable[static_cast<std::size_t>(port - 1)] == 1) {
            m_ports->addItem(PortName(port));
            m_ports->setItemData(m_ports->count() - 1, QString::fromStdString(devices.DeviceName(port)),
                                 Qt::ToolTipRole);
        }
    }
    // The list's text names the monitored port even when it is not among the items.
    m_ports->setCurrentIndex(-1);
    m_ports->setEditText(s.DefaultPort != 0 ? PortName(s.DefaultPort) : QString());
    ShowPortDevice();
}

void TSetupDlg::ShowPortDevice()
{
    const std::optional<int> port = PortOfText(m_ports->currentText());
    if (!port) {
        m_portDevice->clear();
        return;
    }
    const std::size_t index = static_cast<std::size_t>(*port - 1);
    const std::string device = m_parts.line.Platform().serialDevices.DeviceName(*port);
    QString text = device.empty() ? QStringLiteral("no device") : QString::fromStdString(device);
    const std::optional<PortOpenError>& probed = m_probeResults[index];
    if (probed && *probed != PortOpenError::None) {
        text += QStringLiteral(" (") + QString::fromUtf8(DescribePortOpenError(*probed)) + QLatin1Char(')');
    } else if (m_switchRefused[index]) {
        text += QStringLiteral(" (cannot be opened)");
    }
    m_portDevice->setText(text);
    m_portDevice->setToolTip(text);
}

void TSetupDlg::PortsChange(const QString& text)
{
    if (m_filling) {
        return;
    }
    const std::optional<int> port = PortOfText(text);
    if (text != PortName(m_settings.DefaultPort) && port) {
        m_host.SwitchPort(*port);
        m_switchRefused[static_cast<std::size_t>(*port - 1)] = m_settings.DefaultPort != *port;
    }
    ShowPortDevice();
}

void TSetupDlg::ButtonDetectComPortsClick()
{
    for (int port = 1; port <= kProbedPorts; ++port) {
        m_probeResults[static_cast<std::size_t>(port - 1)] = m_parts.line.ProbePort(port);
    }
    for (int port = kProbedPorts + 1; port <= kHighestPort; ++port) {
        m_probeResults[static_cast<std::size_t>(port - 1)].reset();
    }
    ChangeForm();
}

} // namespace sarvendo
