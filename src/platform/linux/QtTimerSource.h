// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TimerSource.h"

#include <QObject>
#include <QTimer>

namespace sarvendo {

// A TimerSource on a precise QTimer of the GUI thread's event loop.
class QtTimerSource final : public QObject, public TimerSource
{
    Q_OBJECT

public:
    explicit QtTimerSource(QObject* parent = nullptr);

    void SetCallback(Callback callback) override;
    void Start(std::uint32_t intervalMs) override;
    void Stop() override;
    bool IsActive() const override;

private:
    void Fire();

    QTimer m_timer;
    Callback m_callback;
};

} // namespace sarvendo
