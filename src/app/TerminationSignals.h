// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace sarvendo {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so that a
// request to end from outside runs the same orderly close as the Exit item. The signal
// handler only writes the signal's number into a socket pair; everything else happens
// in the event loop. One instance per process.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the handlers could not be installed (the program then ends the way the
    // system's default handling ends it).
    bool Installed() const { return m_notifier != nullptr; }

    // Signals caught so far are only noted; from this call on they are reported, the
    // ones already caught first. Until then a signal cannot cut into start-up.
    void Listen();

signals:
    void Received(int signalNumber);

private:
    void ReadPending();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace sarvendo
