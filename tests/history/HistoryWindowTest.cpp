// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeCivilTime.h"
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/TempDir.h"
#include "history/HistoryRecorder.h"
#include "history/THistoryWindow.h"
#include "history/TrafficGraph.h"
#include "platform/linux/PosixTextFiles.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

class HistoryWindowTest : public ::testing::Test
{
protected:
    HistoryWindowTest()
    {
        recorder.Start();
        SessionRecord session;
        session.port = 1;
        session.start = Instant{1'780'000'000, 3600}; // 28 May 2026, 21:26 local
        session.durationMs = 5'400'000;
        session.sent = 1000;
        session.received = 3000;
        session.endedBy = EndedBy::Carrier;
        SessionRecord later = session;
        later.start.utc += 86400 * 40; // 7 July
        recorder.Store()->AddImport(LogFingerprint{"test", 0, "0:0"}, {session, session, later}, {}, {});
        clock.SetNow(EncodeDateTime(2026, 5, 30, 12));
    }

    THistoryWindow& Window()
    {
        if (!window) {
            window = std::make_unique<THistoryWindow>(
                HistoryWindowParts{settings, recorder, files, dir.File("SARVENDO.INI"), boxes, clock, formats});
        }
        return *window;
    }

    QPushButton* Button(const char* name) { return Window().findChild<QPushButton*>(QString::fromUtf8(name)); }

    fakes::TempDir dir;
    Settings settings;
    fakes::FakeCivilTime civil;
    fakes::FakeClock clock;
    fakes::FakeMessageBoxes boxes;
    PosixTextFiles files;
    DateTimeFormats formats;
    HistoryRecorder recorder{settings, civil, clock, dir.File("history.sqlite"), nullptr};
    std::unique_ptr<THistoryWindow> window;
};

TEST_F(HistoryWindowTest, TheMonthAndTheYearShowTheirBarsTotalsAndSessions)
{
    EXPECT_EQ(Window().PeriodCaption(), QStringLiteral("May 2026"));
    const std::vector<double> hours = Window().HoursBars();
    ASSERT_EQ(hours.size(), 31U);
    EXPECT_DOUBLE_EQ(hours[27], 3.0);
    EXPECT_DOUBLE_EQ(Window().SentBars()[27], 2000.0);
    EXPECT_EQ(Window().SessionRows(), 2);
    EXPECT_TRUE(Window().TotalsText().contains(QStringLiteral("Sessions 2    Connect time 3:00:00")))
        << Window().TotalsText().toStdString();

    QTest::mouseClick(Button("NextMonth"), Qt::LeftButton);
    EXPECT_EQ(Window().PeriodCaption(), QStringLiteral("June 2026"));
    EXPECT_EQ(Window().SessionRows(), 0);
    QTest::mouseClick(Button("YearView"), Qt::LeftButton);
    EXPECT_EQ(Window().PeriodCaption(), QStringLiteral("2026"));
    ASSERT_EQ(Window().HoursBars().size(), 12U);
    EXPECT_DOUBLE_EQ(Window().HoursBars()[4], 3.0);
    EXPECT_DOUBLE_EQ(Window().HoursBars()[6], 1.5);
    QTest::mouseClick(Button("PreviousYear"), Qt::LeftButton);
    EXPECT_EQ(Window().PeriodCaption(), QStringLiteral("2025"));
    EXPECT_DOUBLE_EQ(Window().HoursBars()[4], 0.0);
}

TEST_F(HistoryWindowTest, ExportWritesTheShownSessionsAndClearingAsksFirst)
{
    const std::string csv = dir.File("may.csv");
    ASSERT_TRUE(Window().ExportCsv(csv));
    EXPECT_EQ(fakes::TempDir::Read(csv), "start,end,port,seconds,sent,received,speed,ended_by\n"
                                         "2026-05-28T21:26:40+01:00,,COM1,5400,1000,3000,,carrier\n"
                                         "2026-05-28T21:26:40+01:00,,COM1,5400,1000,3000,,carrier\n");
    EXPECT_FALSE(Window().ExportCsv(dir.File("no/such/folder/x.csv")));
    EXPECT_EQ(boxes.shown.size(), 1U);

    boxes.answers = {MessageResult::No};
    QTest::mouseClick(Button("ClearHistory"), Qt::LeftButton);
    EXPECT_EQ(Window().SessionRows(), 2);
    boxes.answers = {MessageResult::Yes};
    QTest::mouseClick(Button("ClearHistory"), Qt::LeftButton);
    EXPECT_EQ(Window().SessionRows(), 0);
    EXPECT_EQ(boxes.shown.back().text, "Clear the whole connection history? The logs stay as they are.");
}

TEST_F(HistoryWindowTest, TheHistorySettingsAreKeptInTheirOwnSection)
{
    Window().findChild<QCheckBox*>(QStringLiteral("KeepHistory"))->setChecked(false);
    Window().findChild<QSpinBox*>(QStringLiteral("HistoryDays"))->setValue(365);
    EXPECT_EQ(settings.KeepHistory, 0);
    EXPECT_EQ(fakes::TempDir::Read(dir.File("SARVENDO.INI")),
              "[Sarvendo: History]\r\nKeep History=0\r\nHistory Days=365\r\n");
}

TEST_F(HistoryWindowTest, TheLiveGraphIsComposedOnlyWhenTheLastTenMinutesChangeAndTheListFollows)
{
    Window().UpdateLiveGraph();
    const int quiet = Window().LiveGraph()->Compositions();
    clock.Advance(5000);
    Window().UpdateLiveGraph();
    EXPECT_EQ(Window().LiveGraph()->Compositions(), quiet) << "a quiet line was drawn again";
    recorder.Connected(1, "");
    recorder.Counted(true, 500, 900, "");
    clock.Advance(1000);
    Window().UpdateLiveGraph();
    EXPECT_EQ(Window().LiveGraph()->Compositions(), quiet + 1);
    EXPECT_EQ(Window().SessionRows(), 3) << "the new session was not shown";
}

} // namespace
} // namespace sarvendo
