// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPGTimerItem.h"

#include "components/TPGTimerManager.h"

#include <algorithm>

namespace sarvendo {

TPGTimerItem::TPGTimerItem(TPGTimerManager& manager) : QObject(&manager), m_manager(manager) {}

void TPGTimerItem::SetInterval(TPGTimerInterval interval)
{
    interval = std::clamp(interval, kMinTimerInterval, kMaxTimerInterval);
    if (interval == m_interval) {
        return;
    }
    m_interval = interval;
    if (m_enabled) {
        m_manager.Recalculate();
    }
}

void TPGTimerItem::SetEnabled(bool enabled)
{
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    m_manager.Recalculate();
}

} // namespace sarvendo
