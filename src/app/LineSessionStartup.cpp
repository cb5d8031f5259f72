#include "LineSessionStartup.h"

#include "line/LineSession.h"

namespace sarvendo {

bool LineSessionStartup::ProbePort(int port)
{
    return m_session.ProbePort(port) == PortOpenError::None;
}

void LineSessionStartup::SendModemInit()
{
    m_session.SendModemInit(ModemInitCaller::StartUp);
}

void LineSessionStartup::OpenStatusDriver()
{
    m_session.OpenStatusDriver();
}

void LineSessionStartup::ReleaseStatusDriver()
{
    m_session.ReleaseStatusDriver();
}

void LineSessionStartup::CloseDialUpProcess()
{
    m_session.CloseDialUpProcess();
}

void LineSessionStartup::DetectDialUpKind()
{
    m_session.DetectDialUpKind();
}

} // namespace sarvendo
