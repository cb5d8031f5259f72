#pragma once

#include "app/MainWindowEngine.h"

namespace sarvendo {

class LineSession;
class PollCycle;

// The main window's engine: the poll cycle with its connect-time accounting, and the
// line session for the hang-up.
class PollCycleEngine final : public MainWindowEngine
{
public:
    PollCycleEngine(PollCycle& pollCycle, LineSession& line) : m_pollCycle(pollCycle), m_line(line) {}

    void TimerTimer() override;
    void StartSession() override;
    void AddRunningSessionToTotal() override;
    void WriteUnwrittenLogs() override;
    void ResetSessionConnectTime() override;
    void ResetTotalConnectTime() override;
    void HangUp() override;

private:
    PollCycle& m_pollCycle;
    LineSession& m_line;
};

} // namespace sarvendo
