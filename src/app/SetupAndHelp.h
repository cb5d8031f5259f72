// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "setup/SetupHost.h"

#include <QObject>
#include <QString>

#include <optional>
#include <utility>

namespace sarvendo {

class PollCycle;
class THelpWindow;
class TMainWindow;
class TSetupDlg;
struct MainWindowServices;

// The setup dialog and the help, as the main window opens them. The dialog's requests
// of the program come here; those that change the window or the polling go on to it.
class SetupAndHelp : public QObject, public SetupHost
{
    Q_OBJECT

public:
    SetupAndHelp(TMainWindow& window, const MainWindowServices& services, PollCycle& engine);
    ~SetupAndHelp() override;

    // The setup dialog, made at the first call: most runs never open it, and a dialog
    // costs a fifth of a megabyte of the toolkit's code kept resident.
    TSetupDlg* Dialog();
    // Null until the help is first opened: most runs never open it.
    THelpWindow* HelpWindow() const { return m_help; }

    // Runs the dialog until it closes; the help opened from it stays open, the window's.
    void RunSetupDialog();
    // Closes the help window, if it was ever opened, for the end of the program.
    void QuitHelp();
    // For the dialog, which is given them when it is made.
    void SetByteLabels(const QString& transmitted, const QString& received);
    void SetHangUpButtonEnabled(bool enabled);

    // SetupHost
    void ApplyTimerInterval() override;
    void SwitchPort(int port) override;
    void SetTrayIconActive(bool active) override;
    void RepaintWindow() override;
    void HangUpNow() override;
    void ShowHelp(int context) override;

private:
    TMainWindow& m_window;
    const MainWindowServices& m_services;
    PollCycle& m_engine;
    TSetupDlg* m_dialog = nullptr;
    std::optional<std::pair<QString, QString>> m_byteLabels;
    std::optional<bool> m_hangUpEnabled;
    THelpWindow* m_help = nullptr;
};

} // namespace sarvendo
