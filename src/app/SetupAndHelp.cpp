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
    : QObject(&window), m_window(window), m_services(services),
      m_dialog(new TSetupDlg(SetupDlgParts{services.settings, services.line, engine.Time(), engine.Logs(),
                                           engine.Guard(), services.programs, services.sound, services.messageBoxes,
                                           services.directories, services.colourChooser, services.fileChooser,
                                           services.urlOpener, services.clipboard, services.logFileActions},
                             *this, &window))
{
}

SetupAndHelp::~SetupAndHelp() = default;

void SetupAndHelp::RunSetupDialog()
{
    m_services.settings.DialogShowing = 1;
    m_dialog->exec();
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
    QWidget* owner = m_dialog->isVisible() ? static_cast<QWidget*>(m_dialog) : &m_window;
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
