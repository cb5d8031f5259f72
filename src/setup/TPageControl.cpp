// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPageControl.h"

#include <QButtonGroup>
#include <QFrame>
#include <QStackedWidget>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace sarvendo {
namespace {

constexpr int kTabHeight = 20;
constexpr int kTabPadding = 14;

} // namespace

TPageControl::TPageControl(QWidget* parent)
    : QWidget(parent), m_tabGroup(new QButtonGroup(this)), m_stack(new QStackedWidget(this))
{
    m_stack->setFrameShape(QFrame::StyledPanel);
    m_stack->setFrameShadow(QFrame::Raised);
    connect(m_tabGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && id != m_stack->currentIndex()) {
            m_stack->setCurrentIndex(id);
            ArrangeTabs();
            emit Change();
        }
    });
}

void TPageControl::AddPage(QWidget* page, const QString& caption)
{
    auto* tab = new QToolButton(this);
    tab->setObjectName(page->objectName() + QStringLiteral("Tab"));
    tab->setText(caption);
    tab->setCheckable(true);
    tab->setAutoRaise(false);
    tab->setFocusPolicy(Qt::TabFocus);
    m_tabGroup->addButton(tab, static_cast<int>(m_tabs.size()));
    m_tabs.append(tab);
    m_pages.append(page);
    m_stack->addWidget(page);
    if (m_tabs.size() == 1) {
        tab->setChecked(true);
    }
    ArrangeTabs();
}

int TPageControl::ActivePageIndex() const
{
    return m_stack->currentIndex();
}

QWidget* TPageControl::ActivePage() const
{
    return m_stack->currentWidget();
}

void TPageControl::SetActivePageIndex(int index)
{
    if (index >= 0 && index < PageCount()) {
        m_tabs.at(index)->setChecked(true);
    }
}

void TPageControl::resizeEvent(QResizeEvent* /*event*/)
{
    ArrangeTabs();
}

void TPageControl::ArrangeTabs()
{
    // Fill rows from the left in tab order; a tab that does not fit starts a new row.
    std::vector<std::vector<int>> rows(1);
    int rowWidth = 0;
    const int available = std::max(width(), 1);
    for (int i = 0; i < PageCount(); ++i) {
        const int tabWidth = m_tabs.at(i)->fontMetrics().horizontalAdvance(m_tabs.at(i)->text()) + kTabPadding;
        if (rowWidth > 0 && rowWidth + tabWidth > available) {
            rows.emplace_back();
            rowWidth = 0;
        }
        rows.back().push_back(i);
        rowWidth += tabWidth;
    }
    m_rows = static_cast<int>(rows.size());

    // The chosen tab's row moves down next to the page; the others keep their order.
    const int active = ActivePageIndex();
    for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
        if (std::find(rows[r].begin(), rows[r].end(), active) != rows[r].end()) {
            std::vector<int> chosen = std::move(rows[r]);
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(r));
            rows.push_back(std::move(chosen));
            break;
        }
    }

    // Each row is stretched over the whole width, as multi-line tabs are.
    for (std::size_t r = 0; r < rows.size(); ++r) {
        int natural = 0;
        for (const int i : rows[r]) {
            natural += m_tabs.at(i)->fontMetrics().horizontalAdvance(m_tabs.at(i)->text()) + kTabPadding;
        }
        const int extra = rows.size() > 1 ? std::max(available - natural, 0) : 0;
        const int count = static_cast<int>(rows[r].size());
        int x = 0;
        for (int k = 0; k < count; ++k) {
            const int i = rows[r][static_cast<std::size_t>(k)];
            int tabWidth = m_tabs.at(i)->fontMetrics().horizontalAdvance(m_tabs.at(i)->text()) + kTabPadding;
            tabWidth += extra / count + (k < extra % count ? 1 : 0);
            m_tabs.at(i)->setGeometry(x, static_cast<int>(r) * kTabHeight, tabWidth, kTabHeight);
            x += tabWidth;
        }
    }
    const int top = m_rows * kTabHeight;
    m_stack->setGeometry(0, top, width(), std::max(height() - top, 0));
}

} // namespace sarvendo
