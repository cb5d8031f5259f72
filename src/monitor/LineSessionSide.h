#pragma once

#include "monitor/LineSide.h"

namespace sarvendo {

class LineSession;

// The poll cycle's view of the real line side: each call goes to the line session's
// request of the same name.
class LineSessionSide final : public LineSide
{
public:
    explicit LineSessionSide(LineSession& session) : m_session(session) {}

    bool DriverPresent() const override;
    bool QueryPortOpen() override;
    std::uint8_t ReadLineStatus() override;
    ByteCounts ReadDialUpCounters() override;
    ByteCounts ReadDriverByteCounts(std::int32_t sentBase, std::int32_t receivedBase) override;
    std::optional<std::uint8_t> ReadModemControl() override;
    std::optional<std::uint8_t> ReadModemStatus() override;
    void ReadLineParameters() override;
    void HangUp() override;
    void ReleaseStatusDriver() override;

private:
    LineSession& m_session;
};

} // namespace sarvendo
