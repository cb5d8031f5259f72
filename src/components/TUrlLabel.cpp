// SPDX-License-Identifier: GPL-3.0-or-later
#include "TUrlLabel.h"

#include "platform/Clipboard.h"
#include "platform/UrlOpener.h"
#include "resources/Resources.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>

namespace sarvendo {

TUrlLabel::TUrlLabel(UrlOpener& opener, Clipboard& clipboard, QWidget* parent)
    : QLabel(parent), m_opener(opener), m_clipboard(clipboard)
{
    // The caption is shown as it is: an address is never taken for markup.
    setTextFormat(Qt::PlainText);
    if (const std::optional<QImage> hand = LoadResourceImage("HAND")) {
        const QPoint hotSpot = HandCursorHotSpot();
        setCursor(QCursor(QPixmap::fromImage(*hand), hotSpot.x(), hotSpot.y()));
    } else {
        setCursor(Qt::PointingHandCursor);
    }
    SetFontColor(QColor(kLinkColor));
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu"));
    m_copyItem = m_popupMenu->addAction(QStringLiteral("Copy"));
    m_copyItem->setObjectName(QStringLiteral("Copy"));
    connect(m_copyItem, &QAction::triggered, this, &TUrlLabel::CopyClick);
}

TUrlLabel::~TUrlLabel() = default;

QColor TUrlLabel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TUrlLabel::SetFontColor(const QColor& colour)
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colour);
    setPalette(colours);
}

void TUrlLabel::Click()
{
    const QString target = m_url.trimmed().isEmpty() ? text() : m_url;
    if (target.trimmed().isEmpty()) {
        return;
    }
    // Whether the desktop could open it is not reported: a link simply does nothing then.
    m_opener.Open(target.toStdString());
}

void TUrlLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_savedColor = FontColor();
        m_leftDown = true;
        SetFontColor(m_activeColor);
    }
    QLabel::mousePressEvent(event);
}

void TUrlLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_leftDown) {
        m_leftDown = false;
        SetFontColor(m_savedColor);
        // Like a button, the click counts only when the button is let go over the label.
        if (rect().contains(event->position().toPoint())) {
            emit clicked();
            Click();
        }
    }
    QLabel::mouseReleaseEvent(event);
}

void TUrlLabel::contextMenuEvent(QContextMenuEvent* event)
{
    m_popupMenu->popup(event->globalPos());
    event->accept();
}

void TUrlLabel::CopyClick()
{
    m_clipboard.SetText(text().toStdString());
}

} // namespace sarvendo
