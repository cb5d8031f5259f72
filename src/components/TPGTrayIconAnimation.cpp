// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPGTrayIconAnimation.h"

#include "components/TPGTimerItem.h"
#include "components/TPGTimerManager.h"
#include "components/TPGTrayIcon95.h"
#include "resources/Resources.h"

#include <QImageReader>

namespace sarvendo {

TPGTrayIconAnimation::TPGTrayIconAnimation(TPGTrayIcon95& owner) : QObject(&owner), m_owner(owner)
{
    m_timerItem = owner.TimerManager().AddTimer(false, m_interval, [this](TPGTimerItem&) { Tick(); });
}

void TPGTrayIconAnimation::SetInterval(int interval)
{
    if (interval == m_interval) {
        return;
    }
    m_interval = interval;
    if (m_owner.State() == TPGTrayIconState::tsAnimated && m_owner.Active()) {
        Start();
    }
}

void TPGTrayIconAnimation::SetIcons(const QStringList& icons)
{
    m_icons = icons;
    if (m_owner.State() == TPGTrayIconState::tsAnimated && m_owner.Active()) {
        m_index = 0;
    }
}

void TPGTrayIconAnimation::Start()
{
    Stop();
    m_index = 0;
    Tick();
    if (m_owner.State() == TPGTrayIconState::tsAnimated) {
        m_timerItem->SetInterval(m_interval);
        m_timerItem->SetEnabled(true);
    }
}

void TPGTrayIconAnimation::Stop()
{
    m_timerItem->SetEnabled(false);
}

void TPGTrayIconAnimation::Tick()
{
    if (const NotifyEvent& onAnimation = m_owner.OnAnimation()) {
        const NotifyEvent handler = onAnimation;
        handler(m_owner);
    }
    m_owner.UpdateIcon();
    m_index = m_index < m_icons.size() - 1 ? m_index + 1 : 0;
}

std::optional<QImage> TPGTrayIconAnimation::LoadFrame(int index) const
{
    if (index < 0 || index >= m_icons.size()) {
        return std::nullopt;
    }
    const QString& entry = m_icons.at(index);
    if (m_options == TPGTrayIconAnimationOptions::aoIconsInExe) {
        return LoadResourceImage(entry.toUpper().toStdString());
    }
    QImageReader reader(entry);
    QImage picture = reader.read();
    if (picture.isNull()) {
        return std::nullopt;
    }
    return picture;
}

} // namespace sarvendo
