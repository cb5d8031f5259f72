// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPGTimerManager.h"

#include "platform/Clock.h"
#include "platform/TimerSource.h"

#include <algorithm>

namespace sarvendo {

namespace {

// The shared timer never ticks slower than this, whatever the items' intervals.
constexpr TPGTimerInterval kBaseInterval = 150;

} // namespace

TPGTimerManager::TPGTimerManager(TimerSource& timer, const Clock& clock, QObject* parent)
    : QObject(parent), m_timer(timer), m_clock(clock)
{
    m_timer.Stop();
    m_timer.SetCallback([this] { TimerTick(); });
}

TPGTimerManager::~TPGTimerManager()
{
    m_timer.Stop();
    m_timer.SetCallback(nullptr);
}

void TPGTimerManager::SetEnabled(bool enabled)
{
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    if (enabled) {
        Recalculate();
    }
}

TPGTimerItem* TPGTimerManager::AddTimer(bool enabled, TPGTimerInterval interval, TPGTimerItem::Callback callback)
{
    auto* item = new TPGTimerItem(*this); // owned by the manager as its Qt parent
    // Set before the item is listed, so that these settings cause no recalculation.
    item->m_enabled = enabled;
    item->m_interval = std::clamp(interval, kMinTimerInterval, kMaxTimerInterval);
    item->SetCallback(std::move(callback));
    m_items.emplace_back(item);
    if (enabled) {
        Recalculate();
    }
    return item;
}

void TPGTimerManager::Recalculate()
{
    if (!m_enabled) {
        return;
    }
    m_timer.Stop();
    const std::uint32_t now = m_clock.TickCount();
    TPGTimerInterval base = kBaseInterval;
    bool anyEnabled = false;
    for (const QPointer<TPGTimerItem>& item : m_items) {
        if (item != nullptr && item->m_enabled) {
            anyEnabled = true;
            item->m_startTime = now;
            base = std::min(base, item->m_interval);
        }
    }
    if (anyEnabled) {
        m_timer.Start(static_cast<std::uint32_t>(base));
    }
}

void TPGTimerManager::TimerTick()
{
    // A callback may add items, switch them or destroy the whole manager (a handler
    // closing the window that owns it); walk a copy and stop once the manager is gone.
    const QPointer<TPGTimerManager> alive(this);
    const std::vector<QPointer<TPGTimerItem>> items = m_items;
    for (const QPointer<TPGTimerItem>& item : items) {
        if (alive == nullptr) {
            return;
        }
        if (item == nullptr || !item->m_enabled || !item->m_callback) {
            continue;
        }
        const std::uint32_t now = m_clock.TickCount();
        const std::uint32_t elapsed = now - item->m_startTime; // modulo 2^32: wrap-safe
        if (elapsed >= static_cast<std::uint32_t>(item->m_interval)) {
            const TPGTimerItem::Callback callback = item->m_callback;
            callback(*item);
            if (item != nullptr) {
                item->m_startTime = now;
            }
        }
    }
}

} // namespace sarvendo
