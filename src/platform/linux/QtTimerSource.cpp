// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTimerSource.h"

#include <QtGlobal>

#include <algorithm>
#include <exception>
#include <limits>

namespace sarvendo {

QtTimerSource::QtTimerSource(QObject* parent) : QObject(parent)
{
    // Coarse timers may fire 5 % late; the click delay and the exit poll are short
    // enough for that to be felt.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &QtTimerSource::Fire);
}

void QtTimerSource::SetCallback(Callback callback)
{
    m_callback = std::move(callback);
}

void QtTimerSource::Start(std::uint32_t intervalMs)
{
    const auto limit = static_cast<std::uint32_t>(std::numeric_limits<int>::max());
    m_timer.start(static_cast<int>(std::min(intervalMs, limit)));
}

void QtTimerSource::Stop()
{
    m_timer.stop();
}

bool QtTimerSource::IsActive() const
{
    return m_timer.isActive();
}

void QtTimerSource::Fire()
{
    if (m_callback) {
        // A copy, so that a callback replacing itself does not destroy the running one.
        const Callback callback = m_callback;
        try {
            callback();
        } catch (const std::exception& error) {
            // An exception must not unwind through Qt's event loop; the timer goes on.
            qWarning("Timer callback failed: %s", error.what());
        }
    }
}

} // namespace sarvendo
