#pragma once

#include "app/StartupLine.h"

namespace sarvendo {

class LineSession;

// Start-up's and the close routine's view of the real line side: each call goes to the
// line session's operation of the same name.
class LineSessionStartup final : public StartupLine
{
public:
    explicit LineSessionStartup(LineSession& session) : m_session(session) {}

    bool ProbePort(int port) override;
    void SendModemInit() override;
    void OpenStatusDriver() override;
    void ReleaseStatusDriver() override;
    void CloseDialUpProcess() override;
    void DetectDialUpKind() override;

private:
    LineSession& m_session;
};

} // namespace sarvendo
