// SPDX-License-Identifier: GPL-3.0-or-later
#include "CivilTime.h"

#include <ctime>

namespace sarvendo {
namespace {

std::int32_t OffsetAt(std::time_t utc)
{
    tm local{};
    localtime_r(&utc, &local);
    return static_cast<std::int32_t>(local.tm_gmtoff);
}

} // namespace

Instant SystemCivilTime::Now() const
{
    const std::time_t now = std::time(nullptr);
    return Instant{now, OffsetAt(now)};
}

std::optional<Instant> SystemCivilTime::FromLocal(Date date, std::int64_t secondOfDay) const
{
    // The local seconds minus each offset the zone may have had near that day; the one
    // whose offset agrees is the moment, the earlier of two when both agree.
    const std::int64_t local = DaysFromCivil(date) * 86400 + secondOfDay;
    std::optional<Instant> found;
    for (const std::int64_t probe : {local - 86400, local, local + 86400}) {
        const std::int32_t offset = OffsetAt(static_cast<std::time_t>(probe));
        const std::int64_t utc = local - offset;
        if (OffsetAt(static_cast<std::time_t>(utc)) == offset && (!found || utc < found->utc)) {
            found = Instant{utc, offset};
        }
    }
    return found;
}

} // namespace sarvendo
