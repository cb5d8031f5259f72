#include "LineSessionSide.h"

#include "line/LineSession.h"

namespace sarvendo {
namespace {

ByteCounts FromReading(const CounterReading& reading)
{
    return {reading.sent, reading.received, reading.speed};
}

} // namespace

bool LineSessionSide::DriverPresent() const
{
    return m_session.DriverPresent();
}

bool LineSessionSide::QueryPortOpen()
{
    return m_session.QueryPortOpen();
}

std::uint8_t LineSessionSide::ReadLineStatus()
{
    return m_session.ReadLineStatus();
}

ByteCounts LineSessionSide::ReadDialUpCounters()
{
    return FromReading(m_session.ReadDialUpCounters());
}

ByteCounts LineSessionSide::ReadDriverByteCounts(std::int32_t sentBase, std::int32_t receivedBase)
{
    return FromReading(m_session.ReadDriverByteCounts(sentBase, receivedBase));
}

std::optional<std::uint8_t> LineSessionSide::ReadModemControl()
{
    return m_session.ReadModemControl();
}

std::optional<std::uint8_t> LineSessionSide::ReadModemStatus()
{
    return m_session.ReadModemStatus();
}

void LineSessionSide::ReadLineParameters()
{
    m_session.ReadLineParameters();
}

void LineSessionSide::HangUp()
{
    m_session.HangUp();
}

void LineSessionSide::ReleaseStatusDriver()
{
    m_session.ReleaseStatusDriver();
}

} // namespace sarvendo
