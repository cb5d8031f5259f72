// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TerminationSignals.h"

#include "app/AutoAnswerMessageBoxes.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace sarvendo {
namespace {

// Runs the event loop until pred holds or a generous limit passes.
template <typename Predicate> bool ProcessEventsUntil(Predicate pred)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return pred();
}

TEST(TerminationSignalsTest, SignalsCaughtDuringStartUpAreReportedOnceListening)
{
    std::vector<int> received;
    {
        TerminationSignals termination;
        ASSERT_TRUE(termination.Installed());
        QObject::connect(&termination, &TerminationSignals::Received,
                         [&received](int number) { received.push_back(number); });
        std::raise(SIGTERM); // caught, not fatal
        QCoreApplication::processEvents();
        EXPECT_TRUE(received.empty());

        termination.Listen();
        EXPECT_TRUE(ProcessEventsUntil([&] { return received.size() == 1; }));
        std::raise(SIGINT);
        std::raise(SIGHUP);
        EXPECT_TRUE(ProcessEventsUntil([&] { return received.size() == 3; }));
    }
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
    // Afterwards the default handling is back.
    struct sigaction current = {};
    sigaction(SIGTERM, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
}

TEST(AutoAnswerMessageBoxesTest, WritesEachBoxOnOneLineAndAnswersAtOnce)
{
    std::string log;
    const auto write = [&log](std::string_view line) { log += line; };
    AutoAnswerMessageBoxes yes(write, AutoAnswerMessageBoxes::Answer::Affirmative);
    EXPECT_EQ(yes.Show("A\r\rB", MessageButtons::Ok, MessageIcon::Information), MessageResult::Ok);
    EXPECT_EQ(yes.Show("Q?", MessageButtons::YesNo, MessageIcon::Question), MessageResult::Yes);
    EXPECT_EQ(yes.Show("R", MessageButtons::AbortRetry, MessageIcon::Error), MessageResult::Abort);
    EXPECT_EQ(log, "Sarvendo message box: A |  | B\nSarvendo message box: Q?\nSarvendo message box: R\n");

    AutoAnswerMessageBoxes no(write, AutoAnswerMessageBoxes::Answer::Negative);
    EXPECT_EQ(no.Show("Q?", MessageButtons::YesNo, MessageIcon::Question), MessageResult::No);
    EXPECT_EQ(no.Show("Q?", MessageButtons::OkCancel, MessageIcon::Question), MessageResult::Cancel);
    EXPECT_EQ(no.Show("Q?", MessageButtons::Ok, MessageIcon::Question), MessageResult::Ok);
}

} // namespace
} // namespace sarvendo
