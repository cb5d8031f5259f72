// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QWidget>

class QButtonGroup;
class QStackedWidget;
class QToolButton;

namespace sarvendo {

// Tabbed pages whose tabs wrap onto as many rows as the width needs, instead of
// scrolling, so every page's name stays in sight. As on a card index, the row holding
// the chosen tab sits next to the page. Changing the page emits Change.
class TPageControl : public QWidget
{
    Q_OBJECT

public:
    explicit TPageControl(QWidget* parent);

    void AddPage(QWidget* page, const QString& caption);
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    QWidget* Page(int index) const { return m_pages.at(index); }
    QToolButton* Tab(int index) const { return m_tabs.at(index); }
    int ActivePageIndex() const;
    QWidget* ActivePage() const;
    void SetActivePageIndex(int index);
    int TabRows() const { return m_rows; }

signals:
    void Change();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ArrangeTabs();

    QButtonGroup* m_tabGroup;
    QStackedWidget* m_stack;
    QList<QWidget*> m_pages;
    QList<QToolButton*> m_tabs;
    int m_rows = 0;
};

} // namespace sarvendo
