// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

namespace sarvendo {

class TPGTimerManager;

// A logical timer's milliseconds: values outside 55 to 100000 are brought to the nearer
// end, so no item can spin the shared timer or wait for weeks.
using TPGTimerInterval = int;
constexpr TPGTimerInterval kMinTimerInterval = 55;
constexpr TPGTimerInterval kMaxTimerInterval = 100000;

// One logical timer of a TPGTimerManager, owned by it. While enabled it calls its
// callback once its interval has passed since the start of its current period, at the
// next tick of the manager's shared timer, and then starts a new period. Changing
// Enabled, or Interval while enabled, makes the manager restart every enabled period.
class TPGTimerItem : public QObject
{
    Q_OBJECT

public:
    using Callback = std::function<void(TPGTimerItem& sender)>;

    explicit TPGTimerItem(TPGTimerManager& manager);

    TPGTimerInterval Interval() const { return m_interval; }
    void SetInterval(TPGTimerInterval interval);

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    void SetCallback(Callback callback) { m_callback = std::move(callback); }
    const Callback& GetCallback() const { return m_callback; }

private:
    friend class TPGTimerManager;

    TPGTimerManager& m_manager;
    TPGTimerInterval m_interval = 1000;
    bool m_enabled = false;
    Callback m_callback;
    // The tick count when the current period began. Elapsed time is taken modulo 2^32,
    // so an item keeps its rhythm when the tick count wraps.
    std::uint32_t m_startTime = 0;
};

} // namespace sarvendo
