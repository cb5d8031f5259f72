// SPDX-License-Identifier: GPL-3.0-or-later
#include "TImage.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QRegion>

namespace sarvendo {

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image"));
    // The picture covers the whole control, so nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks go to the window, so the context menu and dragging work on the lamps too.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

bool TImage::SetPicture(const QImage& picture)
{
    if (picture == m_picture) {
        return false;
    }
    m_picture = picture;
    update();
    return true;
}

void TImage::paintEvent(QPaintEvent* event)
{
    ++m_repaints;
    if (m_repaintObserver) {
        m_repaintObserver();
    }
    QPainter painter(this);
    const QRect shown = event->rect().intersected(m_picture.rect());
    if (!shown.isEmpty()) {
        painter.drawImage(shown.topLeft(), m_picture, shown);
    }
    // The picture covers the window's client area; whatever of the control lies beyond it
    // shows the panel's background, which the window's palette holds.
    for (const QRect& rest : QRegion(event->rect()).subtracted(shown)) {
        painter.fillRect(rest, palette().color(QPalette::Window));
    }
}

} // namespace sarvendo
