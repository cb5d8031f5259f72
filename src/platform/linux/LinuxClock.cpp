// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxClock.h"

#include "platform/TickPath.h"

#include <ctime>

namespace sarvendo {

DateTime LinuxClock::Now() const
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec > 59 ? 59 : local.tm_sec, static_cast<int>(ts.tv_nsec / 1000000));
}

SARVENDO_TICK_PATH std::uint32_t LinuxClock::TickCount() const
{
    return static_cast<std::uint32_t>(MonotonicMs());
}

SARVENDO_TICK_PATH std::uint64_t LinuxClock::MonotonicMs() const
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000U + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000U;
}

} // namespace sarvendo
