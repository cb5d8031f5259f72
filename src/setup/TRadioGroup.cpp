// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include <algorithm>

namespace sarvendo {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this))
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 4, 2);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(0);
    const int count = static_cast<int>(items.size());
    const int rows = columns > 0 ? (count + columns - 1) / columns : count;
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_group->addButton(button, i);
        layout->addWidget(button, rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
        m_buttons.append(button);
    }
    connect(m_group, &QButtonGroup::idToggled, this, [this](int /*id*/, bool checked) {
        if (checked) {
            emit Click();
        }
    });
}

int TRadioGroup::ItemIndex() const
{
    return m_group->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (m_buttons.isEmpty()) {
        return;
    }
    if (index < 0) {
        // An exclusive group never lets its last checked button go.
        m_group->setExclusive(false);
        for (QRadioButton* button : m_buttons) {
            button->setChecked(false);
        }
        m_group->setExclusive(true);
        return;
    }
    m_buttons.at(std::min(index, Count() - 1))->setChecked(true);
}

} // namespace sarvendo
