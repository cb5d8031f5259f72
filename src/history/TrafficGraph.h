// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/TrafficRate.h"

#include <QImage>
#include <QWidget>

#include <vector>

namespace sarvendo {

// The live strip of the history window: bytes sent (red, as the TD lamp) and received
// (green, as the RD lamp) in each second of the last ten minutes, newest on the right.
// SetSeconds composes the picture; the paint only copies it, and nothing is composed or
// painted again while the seconds shown stay the same (a quiet line that stays quiet).
class TrafficGraph : public QWidget
{
    Q_OBJECT

public:
    explicit TrafficGraph(QWidget* parent);

    // Returns whether the picture changed.
    bool SetSeconds(std::vector<TrafficRate::Second> seconds);
    int Compositions() const { return m_compositions; }
    const QImage& Picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Compose();

    std::vector<TrafficRate::Second> m_seconds;
    QImage m_picture;
    int m_compositions = 0;
};

} // namespace sarvendo
