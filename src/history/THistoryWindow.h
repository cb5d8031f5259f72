// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryTypes.h"
#include "history/HistoryWindowParts.h"

#include <QWidget>

#include <string>
#include <vector>

class QBarSet;
class QBarCategoryAxis;
class QChart;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class QTreeWidget;
class QValueAxis;

namespace sarvendo {

class TrafficGraph;

// The connection history: a month (one bar per day) or a year (one bar per month) of
// connect time and of bytes sent and received, the period's totals and sessions, the live
// traffic of the last ten minutes, "Export CSV…", and the history's own settings ("Keep
// History", "History Days", "Clear History..."). It reads the database on the GUI thread
// through the recorder's connection, which never waits for another program's lock.
class THistoryWindow : public QWidget
{
    Q_OBJECT

public:
    enum class View
    {
        Month,
        Year,
    };

    explicit THistoryWindow(HistoryWindowParts parts, QWidget* parent = nullptr);
    ~THistoryWindow() override;

    void ShowAndRaise();

    // Shows the month (or year) of a date; reads the database again.
    void ShowPeriod(View view, int year, int month);
    void Step(int months);
    View CurrentView() const { return m_view; }
    QString PeriodCaption() const;
    QString TotalsText() const;
    int SessionRows() const;
    // The value of each bar of the connect-time chart (hours) and of the bytes chart.
    std::vector<double> HoursBars() const;
    std::vector<double> SentBars() const;

    // Writes the shown period's sessions as CSV; false (and a box) when it cannot.
    bool ExportCsv(const std::string& path);
    void ClearHistory();
    // One second of the live graph; the period shown is read again when the history
    // changed.
    void UpdateLiveGraph();
    TrafficGraph* LiveGraph() const { return m_graph; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildCharts();
    void Refresh();
    void SaveSettings();
    void ShowNotes();

    HistoryWindowParts m_parts;
    View m_view = View::Month;
    int m_year = 2000;
    int m_month = 1;
    std::vector<SessionRecord> m_sessions;
    std::uint64_t m_shownRevision = 0;

    QLabel* m_caption = nullptr;
    QPushButton* m_monthView = nullptr;
    QPushButton* m_yearView = nullptr;
    QChart* m_timeChart = nullptr;
    QChart* m_bytesChart = nullptr;
    QBarSet* m_hours = nullptr;
    QBarSet* m_sent = nullptr;
    QBarSet* m_received = nullptr;
    QBarCategoryAxis* m_timeAxis = nullptr;
    QBarCategoryAxis* m_bytesAxis = nullptr;
    QValueAxis* m_hoursAxis = nullptr;
    QValueAxis* m_bytesValueAxis = nullptr;
    QLabel* m_totals = nullptr;
    QTreeWidget* m_list = nullptr;
    TrafficGraph* m_graph = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QCheckBox* m_keep = nullptr;
    QSpinBox* m_days = nullptr;
    QTimer* m_liveTimer = nullptr;
};

} // namespace sarvendo
