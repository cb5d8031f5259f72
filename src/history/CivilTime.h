// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryTypes.h"

#include <cstdint>
#include <optional>

namespace sarvendo {

// The wall clock in UTC and the local time zone, for the history's time stamps: the
// program's own clock counts local time only, which jumps at a change of daylight saving
// time and cannot say which of two equal local times was meant.
class CivilTime
{
public:
    virtual ~CivilTime() = default;

    // Now, in UTC, with the local offset of this moment.
    virtual Instant Now() const = 0;

    // The UTC moment of a local date and time (seconds since midnight); the earlier one
    // when the local time happened twice, empty when it never happened.
    virtual std::optional<Instant> FromLocal(Date date, std::int64_t secondOfDay) const = 0;
};

// The system's clock and time zone (TZ, /etc/localtime).
class SystemCivilTime final : public CivilTime
{
public:
    Instant Now() const override;
    std::optional<Instant> FromLocal(Date date, std::int64_t secondOfDay) const override;
};

} // namespace sarvendo
