// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/QtTimerSource.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>
#include <stdexcept>

namespace sarvendo {
namespace {

// The real timer repeats until stopped, also after a callback that failed.
TEST(QtTimerSourceTest, RepeatsUntilStoppedAndSurvivesAFailingCallback)
{
    QtTimerSource timer;
    int calls = 0;
    timer.SetCallback([&] {
        if (++calls == 1) {
            throw std::runtime_error("first call fails");
        }
        if (calls == 3) {
            timer.Stop();
        }
    });
    timer.Start(5);
    EXPECT_TRUE(timer.IsActive());
    QElapsedTimer limit;
    limit.start();
    while (timer.IsActive() && limit.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(timer.IsActive());
}

} // namespace
} // namespace sarvendo
