// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>
#include <string>

class QSocketNotifier;

namespace sarvendo {

// The way a second start reaches the running copy when nothing else can: a local socket
// beside the single-instance lock, in the user's own private directory. The running copy
// listens on it and shows its window whenever a connection arrives (restoring it from
// the taskbar or the tray); the second start connects and waits briefly for the answer.
// It needs neither a session bus nor an X server, so it works on every desktop, and as
// only the user can enter the directory, only the user's own programs can ask.
class RaiseSocket final : public QObject
{
    Q_OBJECT

public:
    explicit RaiseSocket(std::string path, QObject* parent = nullptr);
    ~RaiseSocket() override;
    RaiseSocket(const RaiseSocket&) = delete;
    RaiseSocket& operator=(const RaiseSocket&) = delete;

    // The running copy: replaces a socket an ended copy left behind and listens. False
    // when the socket cannot be made (the path too long, the directory gone).
    bool Listen();

    // A second start: true when a running copy listening at path answered.
    static bool AskToShow(const std::string& path);

signals:
    void ShowRequested();

private:
    void Accept();

    std::string m_path;
    int m_listening = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace sarvendo
