#include "PollCycleEngine.h"

#include "line/LineSession.h"
#include "monitor/PollCycle.h"

namespace sarvendo {

void PollCycleEngine::TimerTimer()
{
    m_pollCycle.TimerTimer();
}

void PollCycleEngine::StartSession()
{
    m_pollCycle.Time().StartSession();
}

void PollCycleEngine::AddRunningSessionToTotal()
{
    m_pollCycle.Time().EndSession();
}

void PollCycleEngine::WriteUnwrittenLogs()
{
    m_pollCycle.WriteUnwrittenLogs();
}

void PollCycleEngine::ResetSessionConnectTime()
{
    m_pollCycle.Time().ResetSessionConnectTimeClick();
}

void PollCycleEngine::ResetTotalConnectTime()
{
    m_pollCycle.Time().ResetTotalConnectTimeClick();
}

void PollCycleEngine::HangUp()
{
    m_line.HangUp();
}

} // namespace sarvendo
