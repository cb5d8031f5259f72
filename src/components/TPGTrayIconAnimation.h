// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/TrayIconTypes.h"

#include <QImage>
#include <QObject>
#include <QStringList>

#include <optional>

namespace sarvendo {

class TPGTimerItem;
class TPGTrayIcon95;

// The animation of a TPGTrayIcon95, owned by it: a list of frames (picture names of the
// program or file names) shown one after the other every Interval milliseconds while the
// icon's state is tsAnimated and the icon is shown. Every start begins at frame 0 and
// shows it at once; after the last frame the first follows again, so a one-frame
// animation shows its only frame at every tick. A frame that cannot be read leaves the
// picture as it was.
class TPGTrayIconAnimation : public QObject
{
    Q_OBJECT

public:
    explicit TPGTrayIconAnimation(TPGTrayIcon95& owner);

    int Interval() const { return m_interval; }
    void SetInterval(int interval);

    const QStringList& Icons() const { return m_icons; }
    void SetIcons(const QStringList& icons);

    TPGTrayIconAnimationOptions Options() const { return m_options; }
    void SetOptions(TPGTrayIconAnimationOptions options) { m_options = options; }

    // The frame the next tick shows.
    int FrameIndex() const { return m_index; }

    void Start();
    void Stop();
    void Tick();

    // The picture of frame index, or nothing when there is no such frame or it cannot be
    // read.
    std::optional<QImage> LoadFrame(int index) const;

private:
    TPGTrayIcon95& m_owner;
    int m_interval = 1000;
    QStringList m_icons;
    TPGTrayIconAnimationOptions m_options = TPGTrayIconAnimationOptions::aoIconsAreFiles;
    TPGTimerItem* m_timerItem = nullptr; // owned by the component's timer manager
    int m_index = 0;
};

} // namespace sarvendo
