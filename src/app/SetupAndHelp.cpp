// SPDX-License-Identifier: GPL-3.0-or-later
#include "SetupAndHelp.h"

#include "core/Settings.h"

#include "app/MainWindowServices.h"
#include "app/THelpWindow.h"
#include "app/TMainWindow.h"
#include "line/HangUp.h"
#include "line/LineSession.h"
#include "platform/MessageBoxes.h"
#include "setup/TSetupDlg.h"

namespace sarvendo {

SetupAndHelp::SetupAndHelp(TMainWindow& window, const MainWindowServices& services, PollCycle& engine)
    : QObject(&window), m_window(window), m_services(services), m_engine(engine)
{
}

TSetupDlg* SetupAndHelp::Dialog()
{
    if (m_dialog == nullptr) {
        const MainWindowServices& services = m_services;
        m_dialog =
            new TSetupDlg(SetupDlgParts{services.settings, services.line, m_engine.Time(), m_engine.Logs(),
                                        m_engine.Guard(), services.programs, services.sound, services.messageBoxes,
                                        services.directories, services.colourChooser, services.fileChooser,
                                        services.urlOpener, services.clipboard, services.logFileActions},
                          *this, &m_window);
        if (m_byteLabels) {
            m_dialog->SetByteLabels(m_byteLabels->first, m_byteLabels->second);
        }
        if (m_hangUpEnabled) {
            m_dialog->SetHangUpButtonEnabled(*m_hangUpEnabled);
        }
    }
    return m_dialog;
}

void SetupAndHelp::SetByteLabels(const QString& transmitted, const QString& received)
{
    m_byteLabels.emplace(transmitted, received);
    if (m_dialog != nullptr) {
        m_dialog->SetByteLabels(transmitted, received);
    }
}

void SetupAndHelp::SetHangUpButtonEnabled(bool enabled)
{
    m_hangUpEnabled = enabled;
    if (m_dialog != nullptr) {
        m_dialog->SetHangUpButtonEnabled(enabled);
    }
}

SetupAndHelp::~SetupAndHelp() = default;

void SetupAndHelp::RunSetupDialog()
{
    m_services.settings.DialogShowing = 1;
    Dialog()->exec();
    // Help opened from the dialog belonged to it while it was open; it stays open, now
    // the window's again.
    if (m_help != nullptr) {
        m_help->SetOwner(&m_window);
    }
}

void SetupAndHelp::QuitHelp()
{
    if (m_help != nullptr) {
        m_help->Quit();
    }
}

void SetupAndHelp::ShowHelp(int context)
{
    // The setup dialog is application-modal: while it is open the help must be its
    // window to take input above it, whoever asks for the help.
    QWidget* owner = m_dialog != nullptr && m_dialog->isVisible() ? static_cast<QWidget*>(m_dialog) : &m_window;
    if (m_help == nullptr) {
        m_help = new THelpWindow(owner);
    }
    m_help->ShowContext(context, owner);
}

void SetupAndHelp::HangUpNow()
{
    // A hang-up that could not reach the control lines is said, never passed off as done.
    const HangUpResult result = m_services.line.HangUp();
    if (!result.performed) {
        m_services.messageBoxes.Show(HangUpFailureText(result), MessageButtons::Ok, MessageIcon::Warning);
    }
}

void SetupAndHelp::ApplyTimerInterval()
{
    m_window.ApplyTimerInterval();
}

void SetupAndHelp::SwitchPort(int port)
{
    m_window.SwitchPort(port);
}

void SetupAndHelp::SetTrayIconActive(bool active)
{
    m_window.SetTrayIconActive(active);
}

void SetupAndHelp::RepaintWindow()
{
    m_window.RepaintWindow();
}

} // namespace sarvendo
