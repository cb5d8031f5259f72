#pragma once

namespace sarvendo {

// What the main window's start-up and close routine ask of the line side: the port
// probe, the modem initialisation, the status driver and the dial-up program. The
// results land in the Settings record (PortAvailable, PortDCB, DriverHandle,
// DialUpKind), where the start-up rules read them.
class StartupLine
{
public:
    virtual ~StartupLine() = default;

    // Tries to open COMn; sets its PortAvailable entry and, on success, refreshes PortDCB.
    virtual bool ProbePort(int port) = 0;

    // Sends "ModemInitString" and a line end to the monitored port and releases it again.
    virtual void SendModemInit() = 0;

    // Opens the status driver; warns the user itself when it cannot, and never stops
    // start-up.
    virtual void OpenStatusDriver() = 0;
    virtual void ReleaseStatusDriver() = 0;

    // Forgets the dial-up program's process, if one was found.
    virtual void CloseDialUpProcess() = 0;

    // Finds out which dial-up program is installed (DialUpKind) and forgets the dial-up
    // connection window.
    virtual void DetectDialUpKind() = 0;
};

} // namespace sarvendo
