// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QLabel>

class QAction;
class QMenu;

namespace sarvendo {

class Clipboard;
class UrlOpener;

// A text label that behaves like a hyperlink: underlined blue text under the hand
// cursor, drawn in ActiveColor while the left button is held on it, opening its URL (or,
// when the URL is blank, its caption) through the desktop when clicked, and offering a
// one-item "Copy" menu that puts the caption, never the URL, on the clipboard. A label
// whose URL and caption are both blank opens nothing.
class TUrlLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString URL READ URL WRITE SetURL)
    Q_PROPERTY(QColor ActiveColor READ ActiveColor WRITE SetActiveColor)

public:
    static constexpr QRgb kDefaultActiveColor = 0x800080; // purple
    static constexpr QRgb kLinkColor = 0x0000FF;          // blue

    TUrlLabel(UrlOpener& opener, Clipboard& clipboard, QWidget* parent = nullptr);
    ~TUrlLabel() override;

    QString URL() const { return m_url; }
    void SetURL(const QString& url) { m_url = url; }
    QColor ActiveColor() const { return m_activeColor; }
    void SetActiveColor(const QColor& colour) { m_activeColor = colour; }

    // The colour the text is drawn in.
    QColor FontColor() const;
    void SetFontColor(const QColor& colour);

    QMenu* PopupMenu() const { return m_popupMenu; }

    // What a click does after the clicked() handlers have run: opens the target.
    void Click();

signals:
    // A left click on the label, before the target is opened.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CopyClick();

    UrlOpener& m_opener;
    Clipboard& m_clipboard;
    QString m_url;
    QColor m_activeColor{kDefaultActiveColor};
    QColor m_savedColor;
    QMenu* m_popupMenu = nullptr;
    QAction* m_copyItem = nullptr;
    bool m_leftDown = false;
};

} // namespace sarvendo
