// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/CivilTime.h"

namespace sarvendo::fakes {

// A wall clock the test moves, in a zone one hour east of UTC that goes to two hours at
// dstStart (a UTC moment), as central Europe does in spring.
class FakeCivilTime final : public CivilTime
{
public:
    Instant Now() const override { return Instant{utc, OffsetAt(utc)}; }

    std::optional<Instant> FromLocal(Date date, std::int64_t secondOfDay) const override
    {
        const std::int64_t local = DaysFromCivil(date) * 86400 + secondOfDay;
        for (const std::int32_t offset : {3600, 7200}) {
            if (OffsetAt(local - offset) == offset) {
                return Instant{local - offset, offset};
            }
        }
        return std::nullopt;
    }

    std::int32_t OffsetAt(std::int64_t moment) const { return moment < dstStart ? 3600 : 7200; }

    std::int64_t utc = 1'780'000'000; // 2026-05-28
    std::int64_t dstStart = 4'000'000'000;
};

} // namespace sarvendo::fakes
