// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FakeMonitorHost.h"
#include "FakeMonitoredLine.h"
#include "core/DateTimeText.h"
#include "core/IntegerText.h"
#include "core/RealText.h"
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeLogFiles.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeSound.h"
#include "monitor/PollCycle.h"

#include <gtest/gtest.h>

namespace sarvendo {

// The engine on the fake platform: a driver that tracks an open port, no dial-up
// connection, COM1 monitored, the US date and time formats, in-memory log files, and a
// clock at 15 June 1998, 2:09:08 PM.
class MonitorTest : public ::testing::Test
{
protected:
    static constexpr int kTickMs = 56;

    MonitorTest()
    {
        settings.DefaultPort = 1;
        // The paint that follows an invalidation clears the requests, as the window's does.
        host.onInvalidate = [this] { PaintDone(); };
        host.onPaint = [this] { PaintDone(); };
        // Start-up starts a session, so the connect log has a reference time.
        cycle.Time().StartSession();
    }

    void PaintDone()
    {
        settings.RepaintNeeded = 0;
        settings.RebuildLayout = 0;
        settings.RebuildWindowLamps = 0;
        settings.RebuildTitleLamps = 0;
    }

    void Tick(int count = 1, int ms = kTickMs)
    {
        for (int i = 0; i < count; ++i) {
            clock.Advance(ms);
            cycle.TimerTimer();
        }
    }

    // Ticks for a duration at the usual rate.
    void RunFor(std::int64_t ms)
    {
        const std::int64_t ticks = ms / kTickMs;
        Tick(static_cast<int>(ticks));
        const std::int64_t rest = ms - ticks * kTickMs;
        if (rest > 0) {
            Tick(1, static_cast<int>(rest));
        }
    }

    void Connect()
    {
        line.SetCarrier(true);
        Tick();
    }

    void Disconnect()
    {
        line.SetCarrier(false);
        Tick();
    }

    std::string RingLogText() const { return Content(cycle.Logs().RingLogPath()); }
    std::string ConnectLogText() const { return Content(cycle.Logs().ConnectLogPath()); }

    std::string Content(const std::string& path) const
    {
        const auto found = files.files.find(path);
        return found == files.files.end() ? std::string() : found->second;
    }

    Settings settings;
    fakes::FakeClock clock{EncodeDateTime(1998, 6, 15, 14, 9, 8), 5'000'000};
    fakes::FakeMonitoredLine line;
    fakes::FakeSound sound;
    fakes::FakeMessageBoxes boxes;
    fakes::FakeLogFiles files;
    fakes::FakeDirectories directories{"/logs"};
    DateTimeFormats formats;
    fakes::FakeMonitorHost host;
    PollCycle cycle{settings, clock, line, sound, boxes, files, directories, formats, host};
};

} // namespace sarvendo
