// SPDX-License-Identifier: GPL-3.0-or-later
#include "TImage.h"

#include <QPaintEvent>
#include <QPainter>

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
    painter.drawImage(event->rect().topLeft(), m_picture, event->rect());
}

} // namespace sarvendo
