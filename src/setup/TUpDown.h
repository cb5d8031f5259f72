// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace sarvendo {

// The pair of arrows beside a number field. An arrow reads the field's number (or, when
// the text is not a number, the arrows' own last position), moves it by one within the
// arrows' range and writes it back as the field's text, so the field's change handler
// sees it like typed text. The field itself accepts any text; only the arrows keep to
// the range. Up and Down in the field work like the arrows.
class TUpDown : public QWidget
{
    Q_OBJECT

public:
    TUpDown(QLineEdit* associate, int min, int max, QWidget* parent);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

    // One step of the arrows: +1 up, -1 down.
    void Step(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_associate;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_min;
    int m_max;
    int m_position;
};

} // namespace sarvendo
