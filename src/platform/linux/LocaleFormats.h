// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTime.h"

class QLocale;

namespace sarvendo {

// The user's date and time formats, in the program's format letters. The long time
// format always starts with the hours followed by ":mm:ss" (durations are written with
// it), keeping the locale's choice of a leading zero and of a twelve-hour clock.
DateTimeFormats LocaleDateTimeFormats(const QLocale& locale);

} // namespace sarvendo
