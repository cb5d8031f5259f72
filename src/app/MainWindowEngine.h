#pragma once

namespace sarvendo {

// The monitoring engine as the main window drives it: one poll tick, and the session
// accounting the close routine needs.
class MainWindowEngine
{
public:
    virtual ~MainWindowEngine() = default;

    virtual void TimerTimer() = 0;

    // Starts the session clock at start-up.
    virtual void StartSession() = 0;

    // Adds the running session to the total connect time (only while connected).
    virtual void AddRunningSessionToTotal() = 0;

    // One last try to write event-log records a failing file could not take, at close.
    virtual void WriteUnwrittenLogs() = 0;

    // "&Reset Session Connect Time" and "Reset &Total Connect Time".
    virtual void ResetSessionConnectTime() = 0;
    virtual void ResetTotalConnectTime() = 0;

    // "Hang-up NOW!".
    virtual void HangUp() = 0;
};

} // namespace sarvendo
