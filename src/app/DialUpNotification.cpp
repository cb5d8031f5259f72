// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialUpNotification.h"

#include "core/BoundedString.h"

#include "app/CommandLine.h"

namespace sarvendo {

std::string CutNotificationText(std::string_view text)
{
    // A terminating zero ends the text, as it did in the message's buffer.
    if (const auto zero = text.find('\0'); zero != std::string_view::npos) {
        text = text.substr(0, zero);
    }
    return BoundedString<kNotificationTextLimit + 1>(text).str();
}

std::int32_t NotificationSecondNumber(std::string_view text)
{
    const auto first = text.find(' ');
    if (first == std::string_view::npos) {
        return 0;
    }
    std::string_view rest = text.substr(first + 1);
    if (const auto second = rest.find(' '); second != std::string_view::npos) {
        rest = rest.substr(0, second);
    }
    return ParseDecimalInteger(rest).value_or(0);
}

} // namespace sarvendo
