// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>
#include <QList>

class QButtonGroup;
class QRadioButton;

namespace sarvendo {

// A framed group of radio buttons chosen by index, filled column by column. Selecting an
// item, by the user or by SetItemIndex, emits Click once; an index of -1 selects none,
// and an index past the end selects the last item.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    int ItemIndex() const;
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(m_buttons.size()); }
    QRadioButton* Button(int index) const { return m_buttons.at(index); }

signals:
    void Click();

private:
    QButtonGroup* m_group;
    QList<QRadioButton*> m_buttons;
};

} // namespace sarvendo
