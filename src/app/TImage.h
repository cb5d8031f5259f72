// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace sarvendo {

// The lamp panel as the window shows it: the picture composed by the last paint, copied
// as it is, and the background colour wherever the control reaches beyond the picture.
// Its own paint never composes anything.
class TImage : public QWidget
{
    Q_OBJECT

public:
    explicit TImage(QWidget* parent);

    // Takes a newly composed picture; repaints only when it differs from the one shown.
    // Returns whether it did.
    bool SetPicture(const QImage& picture);
    const QImage& Picture() const { return m_picture; }
    int Repaints() const { return m_repaints; }
    // Called at every repaint; for measuring how often the panel is drawn.
    void SetRepaintObserver(std::function<void()> observer) { m_repaintObserver = std::move(observer); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    int m_repaints = 0;
    std::function<void()> m_repaintObserver;
};

} // namespace sarvendo
