// SPDX-License-Identifier: GPL-3.0-or-later
#include "ElapsedTime.h"

#include "core/Characters.h"
#include "core/DateTimeText.h"
#include "core/IntegerText.h"
#include "core/RealText.h"

namespace sarvendo {

std::string ElapsedToStr(DateTime duration, const DateTimeFormats& formats)
{
    // Days and time of day come from one rounding to the millisecond, so a total that
    // sums to 2.9999999999 days reads 72:00:00 and not 48:00:00.
    const DaysAndMs split = SplitDateTime(duration);
    // A duration has no morning or afternoon: a twelve-hour format would turn three days
    // into "84:00:00" and ten minutes into "12:10:00 AM".
    std::string text =
        FormatDateTime(WithoutAmPm(formats.longTimeFormat), static_cast<double>(split.ms) / kMsPerDay, formats);
    if (split.days < 1) {
        return text;
    }
    if (text.size() < 2 || !IsDigit(text[1])) {
        text.insert(text.begin(), ' ');
    }
    std::int64_t hours = 0;
    for (std::size_t i = 0; i < 2 && i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            hours = hours * 10 + (text[i] - '0');
        }
    }
    hours += 24 * split.days;
    return std::to_string(hours) + (text.size() > 2 ? text.substr(2, 6) : std::string());
}

} // namespace sarvendo
