// SPDX-License-Identifier: GPL-3.0-or-later
#include "THistoryWindow.h"

#include "core/Settings.h"

#include "history/HistoryRecorder.h"
#include "history/HistoryReport.h"
#include "history/HistorySettings.h"
#include "history/HistoryStore.h"
#include "history/TrafficGraph.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedBarSeries>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>

namespace sarvendo {
namespace {

// The panel's own colours: the grey of the window, navy for time, and the red and green
// of the TD and RD lamps for the bytes.
const QColor kFace(192, 192, 192);
const QColor kTime(0, 0, 128);
const QColor kSentColour(128, 0, 0);
const QColor kReceivedColour(0, 128, 0);

constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};

int DaysInMonth(int year, int month)
{
    const std::int64_t start = DaysFromCivil(Date{year, month, 1});
    const std::int64_t next = DaysFromCivil(month == 12 ? Date{year + 1, 1, 1} : Date{year, month + 1, 1});
    return static_cast<int>(next - start);
}

QString Bytes(std::int64_t bytes)
{
    const double value = static_cast<double>(bytes);
    if (bytes >= 1024LL * 1024 * 1024) {
        return QString::number(value / (1024.0 * 1024.0 * 1024.0), 'f', 2) + QStringLiteral(" GB");
    }
    if (bytes >= 1024LL * 1024) {
        return QString::number(value / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
    }
    if (bytes >= 1024) {
        return QString::number(value / 1024.0, 'f', 1) + QStringLiteral(" KB");
    }
    return QString::number(bytes) + QStringLiteral(" bytes");
}

QChart* PanelChart(const QString& title)
{
    auto* chart = new QChart();
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundBrush(kFace);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setMargins(QMargins(2, 2, 2, 2));
    // Above the plot, so that both charts give their bars the same width.
    chart->legend()->setAlignment(Qt::AlignTop);
    QFont font = chart->titleFont();
    font.setBold(true);
    chart->setTitleFont(font);
    return chart;
}

// Thirty-one days side by side fit only written small and upright.
void StyleCategoryAxis(QBarCategoryAxis& axis)
{
    QFont font = axis.labelsFont();
    font.setPointSizeF(font.pointSizeF() * 0.8);
    axis.setLabelsFont(font);
    axis.setLabelsAngle(-90);
}

QChartView* ChartView(QChart* chart, QWidget* parent)
{
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing, false);
    view->setFrameShape(QFrame::StyledPanel);
    view->setFrameShadow(QFrame::Sunken);
    view->setMinimumHeight(140);
    return view;
}

} // namespace

THistoryWindow::THistoryWindow(HistoryWindowParts parts, QWidget* parent) : QWidget(parent), m_parts(std::move(parts))
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("Sarvendo History"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kFace);
    setPalette(palette);
    resize(760, 730);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    auto* navigation = new QHBoxLayout();
    auto button = [this, navigation](const char* name, const char* caption) {
        auto* pushButton = new QPushButton(QString::fromUtf8(caption), this);
        pushButton->setObjectName(QString::fromUtf8(name));
        navigation->addWidget(pushButton);
        return pushButton;
    };
    auto* previousYear = button("PreviousYear", "<< Year");
    auto* previousMonth = button("PreviousMonth", "< Month");
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("PeriodCaption"));
    m_caption->setAlignment(Qt::AlignCenter);
    QFont captionFont = m_caption->font();
    captionFont.setBold(true);
    m_caption->setFont(captionFont);
    m_caption->setMinimumWidth(160);
    navigation->addWidget(m_caption, 1);
    auto* nextMonth = button("NextMonth", "Month >");
    auto* nextYear = button("NextYear", "Year >>");
    navigation->addSpacing(12);
    m_monthView = button("MonthView", "&Month View");
    m_yearView = button("YearView", "&Year View");
    m_monthView->setCheckable(true);
    m_yearView->setCheckable(true);
    layout->addLayout(navigation);
    connect(previousYear, &QPushButton::clicked, this, [this] { Step(-12); });
    connect(previousMonth, &QPushButton::clicked, this, [this] { Step(m_view == View::Year ? -12 : -1); });
    connect(nextMonth, &QPushButton::clicked, this, [this] { Step(m_view == View::Year ? 12 : 1); });
    connect(nextYear, &QPushButton::clicked, this, [this] { Step(12); });
    connect(m_monthView, &QPushButton::clicked, this, [this] { ShowPeriod(View::Month, m_year, m_month); });
    connect(m_yearView, &QPushButton::clicked, this, [this] { ShowPeriod(View::Year, m_year, m_month); });

    BuildCharts();
    // One above the other, so that each day's bar has room for its number.
    auto* charts = new QVBoxLayout();
    charts->addWidget(ChartView(m_timeChart, this));
    charts->addWidget(ChartView(m_bytesChart, this));
    layout->addLayout(charts, 3);

    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Totals"));
    m_totals->setFrameShape(QFrame::Panel);
    m_totals->setFrameShadow(QFrame::Sunken);
    m_totals->setWordWrap(true);
    layout->addWidget(m_totals);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("Sessions"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setColumnCount(7);
    // Widths from a sample of each column, not from every row: a month of a busy line has
    // hundreds of sessions, and measuring them all would slow the window's opening.
    const QFontMetrics metrics(m_list->font());
    const std::array<const char*, 7> samples = {"2026-12-31T23:59:59+01:00 ",
                                                "2026-12-31T23:59:59+01:00 ",
                                                "999:59:59 ",
                                                "999.9 MB ",
                                                "999.9 MB ",
                                                "@ 115200 bps ",
                                                "unknown "};
    for (int column = 0; column < static_cast<int>(samples.size()); ++column) {
        m_list->setColumnWidth(
            column, metrics.horizontalAdvance(QString::fromUtf8(samples[static_cast<std::size_t>(column)])) + 12);
    }
    layout->addWidget(m_list, 2);

    m_graph = new TrafficGraph(this);
    layout->addWidget(m_graph);

    m_notes = new QPlainTextEdit(this);
    m_notes->setObjectName(QStringLiteral("Notes"));
    m_notes->setReadOnly(true);
    m_notes->setMaximumHeight(48);
    layout->addWidget(m_notes);

    auto* bottom = new QHBoxLayout();
    auto* exportCsv = new QPushButton(QStringLiteral("Export CSV…"), this);
    exportCsv->setObjectName(QStringLiteral("ExportCsv"));
    bottom->addWidget(exportCsv);
    bottom->addStretch(1);
    m_keep = new QCheckBox(QStringLiteral("Keep History"), this);
    m_keep->setObjectName(QStringLiteral("KeepHistory"));
    bottom->addWidget(m_keep);
    auto* daysLabel = new QLabel(QStringLiteral("History Days"), this);
    bottom->addWidget(daysLabel);
    m_days = new QSpinBox(this);
    m_days->setObjectName(QStringLiteral("HistoryDays"));
    m_days->setRange(0, 36500);
    m_days->setSpecialValueText(QStringLiteral("forever"));
    m_days->setToolTip(QStringLiteral("Sessions older than this are removed at the next start; 0 keeps them all"));
    daysLabel->setBuddy(m_days);
    bottom->addWidget(m_days);
    auto* clear = new QPushButton(QStringLiteral("Clear History..."), this);
    clear->setObjectName(QStringLiteral("ClearHistory"));
    bottom->addWidget(clear);
    layout->addLayout(bottom);

    m_keep->setChecked(m_parts.settings.KeepHistory != 0);
    m_days->setValue(m_parts.settings.HistoryDays);
    connect(m_keep, &QCheckBox::toggled, this, [this](bool on) {
        m_parts.settings.KeepHistory = on ? 1 : 0;
        SaveSettings();
    });
    connect(m_days, &QSpinBox::valueChanged, this, [this](int days) {
        m_parts.settings.HistoryDays = days;
        SaveSettings();
    });
    connect(clear, &QPushButton::clicked, this, &THistoryWindow::ClearHistory);
    connect(exportCsv, &QPushButton::clicked, this, [this] {
        const QString suggested = QStringLiteral("sarvendo-history-") +
                                  PeriodCaption().replace(QLatin1Char(' '), QLatin1Char('-')) + QStringLiteral(".csv");
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export CSV"), suggested,
                                                          QStringLiteral("CSV files (*.csv)"));
        if (!path.isEmpty()) {
            ExportCsv(path.toStdString());
        }
    });

    m_liveTimer = new QTimer(this);
    m_liveTimer->setInterval(1000);
    connect(m_liveTimer, &QTimer::timeout, this, &THistoryWindow::UpdateLiveGraph);

    const DecodedDateTime today = DecodeDateTime(m_parts.clock.Now());
    ShowPeriod(View::Month, today.year, today.month);
}

THistoryWindow::~THistoryWindow()
{
    // The charts belong to their views, which the window's children delete.
}

void THistoryWindow::BuildCharts()
{
    m_timeChart = PanelChart(QStringLiteral("Connect time (hours)"));
    m_hours = new QBarSet(QStringLiteral("Hours"));
    m_hours->setColor(kTime);
    m_hours->setBorderColor(Qt::black);
    auto* timeSeries = new QBarSeries();
    timeSeries->append(m_hours);
    timeSeries->setBarWidth(0.8);
    m_timeChart->addSeries(timeSeries);
    m_timeChart->legend()->setVisible(false);
    m_timeAxis = new QBarCategoryAxis();
    StyleCategoryAxis(*m_timeAxis);
    m_hoursAxis = new QValueAxis();
    m_hoursAxis->setLabelFormat(QStringLiteral("%.1f"));
    m_timeChart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_timeChart->addAxis(m_hoursAxis, Qt::AlignLeft);
    timeSeries->attachAxis(m_timeAxis);
    timeSeries->attachAxis(m_hoursAxis);

    m_bytesChart = PanelChart(QStringLiteral("Bytes"));
    m_sent = new QBarSet(QStringLiteral("Sent"));
    m_sent->setColor(kSentColour);
    m_sent->setBorderColor(Qt::black);
    m_received = new QBarSet(QStringLiteral("Received"));
    m_received->setColor(kReceivedColour);
    m_received->setBorderColor(Qt::black);
    auto* bytesSeries = new QStackedBarSeries();
    bytesSeries->append(m_sent);
    bytesSeries->append(m_received);
    bytesSeries->setBarWidth(0.8);
    m_bytesChart->addSeries(bytesSeries);
    m_bytesAxis = new QBarCategoryAxis();
    StyleCategoryAxis(*m_bytesAxis);
    m_bytesValueAxis = new QValueAxis();
    m_bytesValueAxis->setLabelFormat(QStringLiteral("%.1f"));
    m_bytesChart->addAxis(m_bytesAxis, Qt::AlignBottom);
    m_bytesChart->addAxis(m_bytesValueAxis, Qt::AlignLeft);
    bytesSeries->attachAxis(m_bytesAxis);
    bytesSeries->attachAxis(m_bytesValueAxis);
}

void THistoryWindow::ShowAndRaise()
{
    Refresh();
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void THistoryWindow::ShowPeriod(View view, int year, int month)
{
    m_view = view;
    m_year = std::clamp(year, 1970, 9999);
    m_month = std::clamp(month, 1, 12);
    Refresh();
}

void THistoryWindow::Step(int months)
{
    const int index = m_year * 12 + (m_month - 1) + months;
    ShowPeriod(m_view, index / 12, index % 12 + 1);
}

QString THistoryWindow::PeriodCaption() const
{
    if (m_view == View::Year) {
        return QString::number(m_year);
    }
    return QString::fromUtf8(kMonthNames[static_cast<std::size_t>(m_month - 1)]) + QLatin1Char(' ') +
           QString::number(m_year);
}

void THistoryWindow::Refresh()
{
    m_shownRevision = m_parts.recorder.Revision();
    m_caption->setText(PeriodCaption());
    m_monthView->setChecked(m_view == View::Month);
    m_yearView->setChecked(m_view == View::Year);
    const bool month = m_view == View::Month;
    const Date first{m_year, month ? m_month : 1, 1};
    const Date last = month ? Date{m_year, m_month, DaysInMonth(m_year, m_month)} : Date{m_year, 12, 31};
    const std::int64_t from = LocalStartOf(first);
    const std::int64_t to = LocalEndOf(last);
    const int bars = month ? DaysInMonth(m_year, m_month) : 12;

    HistoryStore* store = m_parts.recorder.Store();
    std::vector<PeriodTotals> periods;
    PeriodTotals totals;
    m_sessions.clear();
    if (store != nullptr) {
        periods = store->Grouped(month ? Grouping::Day : Grouping::Month, from, to);
        totals = store->Totals(from, to);
        if (month) {
            m_sessions = store->Sessions(from, to);
        }
    }
    std::map<int, const PeriodTotals*> byBar;
    for (const PeriodTotals& period : periods) {
        // "2026-12-09" or "2026-12": the last number is the bar's.
        byBar[std::stoi(period.period.substr(period.period.rfind('-') + 1))] = &period;
    }
    std::int64_t peakBytes = 0;
    for (const auto& [bar, period] : byBar) {
        peakBytes = std::max(peakBytes, period->sent + period->received);
    }
    const double unit = peakBytes >= 10LL * 1024 * 1024 ? 1024.0 * 1024.0 : peakBytes >= 10 * 1024 ? 1024.0 : 1.0;
    m_bytesChart->setTitle(unit > 1024.0 ? QStringLiteral("Bytes (MB)")
                           : unit > 1.0  ? QStringLiteral("Bytes (KB)")
                                         : QStringLiteral("Bytes"));
    QStringList categories;
    QList<qreal> hours;
    QList<qreal> sent;
    QList<qreal> received;
    double peakHours = 0.0;
    for (int bar = 1; bar <= bars; ++bar) {
        categories << (month ? QString::number(bar)
                             : QString::fromUtf8(kMonthNames[static_cast<std::size_t>(bar - 1)]).left(3));
        const auto found = byBar.find(bar);
        const PeriodTotals* period = found == byBar.end() ? nullptr : found->second;
        hours << (period != nullptr ? static_cast<double>(period->durationMs) / 3'600'000.0 : 0.0);
        sent << (period != nullptr ? static_cast<double>(period->sent) / unit : 0.0);
        received << (period != nullptr ? static_cast<double>(period->received) / unit : 0.0);
        peakHours = std::max(peakHours, hours.back());
    }
    m_hours->remove(0, m_hours->count());
    m_hours->append(hours);
    m_sent->remove(0, m_sent->count());
    m_sent->append(sent);
    m_received->remove(0, m_received->count());
    m_received->append(received);
    m_timeAxis->setCategories(categories);
    m_bytesAxis->setCategories(categories);
    m_hoursAxis->setRange(0.0, std::max(peakHours * 1.1, 1.0));
    m_bytesValueAxis->setRange(0.0, std::max(static_cast<double>(peakBytes) / unit * 1.1, 1.0));

    m_totals->setText(QStringLiteral("Calls %1    Sessions %2    Connect time %3    Sent %4    Received %5    "
                                     "Longest session %6")
                          .arg(totals.calls)
                          .arg(totals.sessions)
                          .arg(QString::fromStdString(DurationText(totals.durationMs)), Bytes(totals.sent),
                               Bytes(totals.received), QString::fromStdString(DurationText(totals.longestMs))));

    m_list->clear();
    m_list->setHeaderLabels(month ? QStringList{QStringLiteral("Start"), QStringLiteral("End"), QStringLiteral("Time"),
                                                QStringLiteral("Sent"), QStringLiteral("Received"),
                                                QStringLiteral("Speed"), QStringLiteral("Ended by")}
                                  : QStringList{QStringLiteral("Month"), QStringLiteral("Sessions"),
                                                QStringLiteral("Time"), QStringLiteral("Sent"),
                                                QStringLiteral("Received"), QStringLiteral("Calls"),
                                                QStringLiteral("Longest")});
    QList<QTreeWidgetItem*> rows;
    if (month) {
        for (const SessionRecord& session : m_sessions) {
            rows << new QTreeWidgetItem(
                QStringList{QString::fromStdString(IsoLocal(session.start)),
                            session.end ? QString::fromStdString(IsoLocal(*session.end)) : QStringLiteral("not known"),
                            QString::fromStdString(DurationText(session.durationMs)), Bytes(session.sent),
                            Bytes(session.received), QString::fromStdString(session.speed),
                            QString::fromUtf8(EndedByName(session.endedBy).data(),
                                              static_cast<qsizetype>(EndedByName(session.endedBy).size()))});
        }
    } else {
        for (const PeriodTotals& period : periods) {
            rows << new QTreeWidgetItem(QStringList{
                QString::fromStdString(period.period), QString::number(period.sessions),
                QString::fromStdString(DurationText(period.durationMs)), Bytes(period.sent), Bytes(period.received),
                QString::number(period.calls), QString::fromStdString(DurationText(period.longestMs))});
        }
    }
    m_list->addTopLevelItems(rows);
    ShowNotes();
}

void THistoryWindow::ShowNotes()
{
    QStringList lines;
    for (const std::string& note : m_parts.recorder.Notes()) {
        lines << QString::fromStdString(note);
    }
    // The lines earlier imports could not read, kept in the history; those of this run's
    // import are among the notes already.
    if (HistoryStore* store = m_parts.recorder.Store()) {
        for (const std::string& problem : store->ImportProblems()) {
            if (const QString line = QString::fromStdString(problem); !lines.contains(line)) {
                lines << line;
            }
        }
    }
    m_notes->setPlainText(lines.join(QLatin1Char('\n')));
    m_notes->setVisible(!lines.isEmpty());
}

QString THistoryWindow::TotalsText() const
{
    return m_totals->text();
}

int THistoryWindow::SessionRows() const
{
    return m_list->topLevelItemCount();
}

std::vector<double> THistoryWindow::HoursBars() const
{
    std::vector<double> values;
    for (int i = 0; i < m_hours->count(); ++i) {
        values.push_back(m_hours->at(i));
    }
    return values;
}

std::vector<double> THistoryWindow::SentBars() const
{
    std::vector<double> values;
    for (int i = 0; i < m_sent->count(); ++i) {
        values.push_back(m_sent->at(i));
    }
    return values;
}

bool THistoryWindow::ExportCsv(const std::string& path)
{
    std::vector<SessionRecord> sessions = m_sessions;
    if (m_view == View::Year) {
        if (HistoryStore* store = m_parts.recorder.Store()) {
            sessions = store->Sessions(LocalStartOf(Date{m_year, 1, 1}), LocalEndOf(Date{m_year, 12, 31}));
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        WriteSessionsCsv(out, sessions);
        out.close();
    }
    if (!out) {
        m_parts.boxes.Show("The file " + path + " could not be written.", MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    return true;
}

void THistoryWindow::ClearHistory()
{
    HistoryStore* store = m_parts.recorder.Store();
    if (store == nullptr) {
        return;
    }
    if (m_parts.boxes.Show("Clear the whole connection history? The logs stay as they are.", MessageButtons::YesNo,
                           MessageIcon::Question) != MessageResult::Yes) {
        return;
    }
    if (auto failure = store->Clear()) {
        m_parts.boxes.Show("The history could not be cleared: " + failure->message + ".", MessageButtons::Ok,
                           MessageIcon::Error);
    }
    Refresh();
}

void THistoryWindow::SaveSettings()
{
    if (!SaveHistorySettings(m_parts.files, m_parts.settings, m_parts.iniPath)) {
        m_parts.recorder.Say("the history settings could not be written to " + m_parts.iniPath);
        ShowNotes();
    }
}

void THistoryWindow::UpdateLiveGraph()
{
    if (m_parts.recorder.Revision() != m_shownRevision) {
        Refresh();
    }
    m_graph->SetSeconds(m_parts.recorder.Rate().Last(m_parts.clock.MonotonicMs()));
}

void THistoryWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    UpdateLiveGraph();
    m_liveTimer->start();
}

void THistoryWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_liveTimer->stop();
}

} // namespace sarvendo
