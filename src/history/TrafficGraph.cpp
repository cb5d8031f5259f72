// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrafficGraph.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace sarvendo {
namespace {

// A dark screen, as on a line monitor.
const QColor kBackground(0, 24, 0);
const QColor kGrid(0, 80, 0);
const QColor kSent(255, 0, 0);
const QColor kReceived(0, 255, 0);

QString RateText(std::int64_t bytesPerSecond)
{
    if (bytesPerSecond >= 1024 * 1024) {
        return QString::number(static_cast<double>(bytesPerSecond) / (1024.0 * 1024.0), 'f', 1) +
               QStringLiteral(" MB/s");
    }
    if (bytesPerSecond >= 1024) {
        return QString::number(static_cast<double>(bytesPerSecond) / 1024.0, 'f', 1) + QStringLiteral(" KB/s");
    }
    return QString::number(bytesPerSecond) + QStringLiteral(" B/s");
}

} // namespace

TrafficGraph::TrafficGraph(QWidget* parent) : QWidget(parent), m_seconds(TrafficRate::kSeconds)
{
    setObjectName(QStringLiteral("TrafficGraph"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(70);
    setToolTip(QStringLiteral("Bytes sent (red) and received (green) each second of the last 10 minutes"));
}

bool TrafficGraph::SetSeconds(std::vector<TrafficRate::Second> seconds)
{
    if (seconds == m_seconds && !m_picture.isNull()) {
        return false;
    }
    m_seconds = std::move(seconds);
    Compose();
    return true;
}

void TrafficGraph::resizeEvent(QResizeEvent* /*event*/)
{
    Compose();
}

void TrafficGraph::Compose()
{
    ++m_compositions;
    const QSize area = size().isEmpty() ? QSize(600, 70) : size();
    m_picture = QImage(area, QImage::Format_RGB32);
    m_picture.fill(kBackground);
    QPainter painter(&m_picture);
    const int width = area.width();
    const int height = area.height();
    painter.setPen(kGrid);
    for (int minute = 1; minute < 10; ++minute) {
        const int x = width * minute / 10;
        painter.drawLine(x, 0, x, height - 1);
    }
    std::int64_t top = 0;
    for (const TrafficRate::Second& second : m_seconds) {
        top = std::max({top, second.sent, second.received});
    }
    const std::int64_t peak = std::max<std::int64_t>(top, 1);
    const auto count = static_cast<int>(m_seconds.size());
    const auto plot = [&](bool sent) {
        QPolygon line;
        for (int i = 0; i < count; ++i) {
            const std::int64_t value =
                sent ? m_seconds[static_cast<std::size_t>(i)].sent : m_seconds[static_cast<std::size_t>(i)].received;
            const int x = count > 1 ? i * (width - 1) / (count - 1) : 0;
            const int y = height - 1 - static_cast<int>(value * (height - 14) / peak);
            line << QPoint(x, y);
        }
        painter.setPen(sent ? kSent : kReceived);
        painter.drawPolyline(line);
    };
    plot(false);
    plot(true);
    painter.setPen(Qt::white);
    painter.drawText(QRect(4, 0, width - 8, 14), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("last 10 minutes, peak ") + RateText(top));
    const TrafficRate::Second& now = m_seconds.empty() ? TrafficRate::Second{} : m_seconds.back();
    painter.drawText(QRect(4, 0, width - 8, 14), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("sent ") + RateText(now.sent) + QStringLiteral("  received ") +
                         RateText(now.received));
    update();
}

void TrafficGraph::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), m_picture, event->rect());
}

} // namespace sarvendo
