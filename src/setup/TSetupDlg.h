#pragma once

#include <QDialog>

namespace sarvendo {

class ConnectTime;
class Directories;
class EventLogs;
class LineSession;
class MessageBoxes;
class ProgramStarter;
class SetupHost;
class Sound;
class Watchdog;
struct Settings;

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
};

// The setup and about dialog. It runs modally inside the program's event loop, so the
// lamps keep following the line while it is open, and it changes the settings at once:
// there is no Cancel. It is made once, after the main window, and kept.
class TSetupDlg : public QDialog
{
    Q_OBJECT

public:
    TSetupDlg(SetupDlgParts parts, SetupHost& host, QWidget* parent = nullptr);

    SetupDlgParts& Parts() { return m_parts; }
    SetupHost& Host() { return m_host; }

private:
    SetupDlgParts m_parts;
    SetupHost& m_host;
};

} // namespace sarvendo
