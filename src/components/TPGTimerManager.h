// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/TPGTimerItem.h"

#include <QObject>
#include <QPointer>

#include <vector>

namespace sarvendo {

class Clock;
class TimerSource;

// Runs any number of logical timers (TPGTimerItem) on one system timer. The shared timer
// ticks at the shortest enabled interval, but never slower than every 150 ms; at each
// tick every enabled item whose interval has passed is called, in the order the items
// were added. An item therefore fires between its interval and its interval plus one
// tick after its period began. Whenever an item is switched or an enabled item's
// interval changes, every enabled item starts a new period. Times come from the clock's
// millisecond tick count and survive its wrap-around.
class TPGTimerManager : public QObject
{
    Q_OBJECT

public:
    // The shared timer is the manager's alone while it lives.
    TPGTimerManager(TimerSource& timer, const Clock& clock, QObject* parent = nullptr);
    ~TPGTimerManager() override;

    // A manager starts disabled; until it is enabled, nothing starts the shared timer.
    // Disabling it only stops later recalculations, the running timer goes on.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    // A new item owned by the manager.
    TPGTimerItem* AddTimer(bool enabled, TPGTimerInterval interval, TPGTimerItem::Callback callback);

    void Recalculate();

private:
    void TimerTick();

    TimerSource& m_timer;
    const Clock& m_clock;
    bool m_enabled = false;
    std::vector<QPointer<TPGTimerItem>> m_items;
};

} // namespace sarvendo
