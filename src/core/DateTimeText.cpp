// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateTimeText.h"

#include "core/Characters.h"

#include <array>
#include <cmath>

namespace sarvendo {
namespace {

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix)
{
    if (text.size() - at < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (UpperAscii(text[at + i]) != UpperAscii(prefix[i])) {
            return false;
        }
    }
    return true;
}

std::string Padded(int value, int width)
{
    std::string digits = std::to_string(value);
    while (static_cast<int>(digits.size()) < width) {
        digits.insert(digits.begin(), '0');
    }
    return digits;
}

constexpr std::array<std::string_view, 12> kShortMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 12> kLongMonths = {"January",   "February", "March",    "April",
                                                          "May",       "June",     "July",     "August",
                                                          "September", "October",  "November", "December"};
constexpr std::array<std::string_view, 7> kShortDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 7> kLongDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};

// A format names a twelve-hour clock when it holds any of the am/pm markers outside quotes.
bool UsesTwelveHourClock(std::string_view format)
{
    char quote = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (StartsWithNoCase(format, i, "AM/PM") || StartsWithNoCase(format, i, "A/P") ||
                   StartsWithNoCase(format, i, "AMPM")) {
            return true;
        }
    }
    return false;
}

class DateTimeWriter
{
public:
    DateTimeWriter(const DecodedDateTime& parts, const DateTimeFormats& formats, int depth)
        : m_parts(parts), m_formats(formats), m_depth(depth)
    {
    }

    void Write(std::string_view format)
    {
        const bool twelveHour = UsesTwelveHourClock(format);
        char lastToken = 0;
        std::size_t i = 0;
        while (i < format.size()) {
            const char c = format[i];
            const char token = UpperAscii(c);
            std::size_t run = 1;
            while (i + run < format.size() && UpperAscii(format[i + run]) == token) {
                ++run;
            }
            switch (token) {
            case '"':
            case '\'': {
                const std::size_t end = format.find(c, i + 1);
                const std::size_t stop = end == std::string_view::npos ? format.size() : end;
                m_out.append(format.substr(i + 1, stop - i - 1));
                i = end == std::string_view::npos ? format.size() : end + 1;
                continue;
            }
            case 'A':
                WriteAmPm(format, i);
                continue;
            case 'C':
                Nested(m_formats.shortDateFormat);
                if (m_parts.hour != 0 || m_parts.minute != 0 || m_parts.second != 0) {
                    m_out.push_back(' ');
                    Nested(m_formats.longTimeFormat);
                }
                run = 1;
                break;
            case 'D':
                run = std::min<std::size_t>(run, 6);
                WriteDay(run);
                break;
            case 'M':
                run = std::min<std::size_t>(run, 4);
                if (lastToken == 'H') {
                    m_out += run == 1 ? std::to_string(m_parts.minute) : Padded(m_parts.minute, 2);
                    run = std::min<std::size_t>(run, 2);
                } else {
                    WriteMonth(run);
                }
                break;
            case 'N':
                run = std::min<std::size_t>(run, 2);
                m_out += run == 1 ? std::to_string(m_parts.minute) : Padded(m_parts.minute, 2);
                break;
            case 'H': {
                run = std::min<std::size_t>(run, 2);
                int hour = m_parts.hour;
                if (twelveHour) {
                    hour %= 12;
                    hour = hour == 0 ? 12 : hour;
                }
                m_out += run == 1 ? std::to_string(hour) : Padded(hour, 2);
                break;
            }
            case 'S':
                run = std::min<std::size_t>(run, 2);
                m_out += run == 1 ? std::to_string(m_parts.second) : Padded(m_parts.second, 2);
                break;
            case 'Z':
                run = run >= 3 ? 3 : 1;
                m_out += run == 1 ? std::to_string(m_parts.millisecond) : Padded(m_parts.millisecond, 3);
                break;
            case 'T':
                run = std::min<std::size_t>(run, 2);
                Nested(run == 1 ? m_formats.shortTimeFormat : m_formats.longTimeFormat);
                break;
            case 'Y':
                run = std::min<std::size_t>(run, 4);
                m_out += run <= 2 ? Padded(m_parts.year % 100, 2) : Padded(m_parts.year, 4);
                break;
            case '/':
                run = 1;
                m_out.push_back(m_formats.dateSeparator);
                break;
            case ':':
                run = 1;
                m_out.push_back(m_formats.timeSeparator);
                break;
            default:
                m_out.append(format.substr(i, run));
                break;
            }
            if (token >= 'A' && token <= 'Z') {
                lastToken = token;
            }
            i += run;
        }
    }

    std::string Take() { return std::move(m_out); }

private:
    void Nested(std::string_view format)
    {
        // A locale format that names itself ("c" inside the short date format) must not
        // recurse forever.
        if (m_depth >= 2) {
            return;
        }
        DateTimeWriter inner(m_parts, m_formats, m_depth + 1);
        inner.Write(format);
        m_out += inner.Take();
    }

    void WriteAmPm(std::string_view format, std::size_t& i)
    {
        const bool pm = m_parts.hour >= 12;
        if (StartsWithNoCase(format, i, "AMPM")) {
            m_out += pm ? m_formats.timePmString : m_formats.timeAmString;
            i += 4;
        } else if (StartsWithNoCase(format, i, "AM/PM")) {
            const bool lower = format[i] == 'a';
            m_out += pm ? (lower ? "pm" : "PM") : (lower ? "am" : "AM");
            i += 5;
        } else if (StartsWithNoCase(format, i, "A/P")) {
            const bool lower = format[i] == 'a';
            m_out += pm ? (lower ? "p" : "P") : (lower ? "a" : "A");
            i += 3;
        } else {
            m_out.push_back(format[i]);
            ++i;
        }
    }

    void WriteDay(std::size_t run)
    {
        const auto weekday = static_cast<std::size_t>(m_parts.dayOfWeek - 1);
        switch (run) {
        case 1:
            m_out += std::to_string(m_parts.day);
            break;
        case 2:
            m_out += Padded(m_parts.day, 2);
            break;
        case 3:
            m_out += kShortDays[weekday];
            break;
        case 4:
            m_out += kLongDays[weekday];
            break;
        case 5:
            Nested(m_formats.shortDateFormat);
            break;
        default:
            Nested(m_formats.longDateFormat);
            break;
        }
    }

    void WriteMonth(std::size_t run)
    {
        const auto index = static_cast<std::size_t>(m_parts.month - 1) % 12;
        switch (run) {
        case 1:
            m_out += std::to_string(m_parts.month);
            break;
        case 2:
            m_out += Padded(m_parts.month, 2);
            break;
        case 3:
            m_out += kShortMonths[index];
            break;
        default:
            m_out += kLongMonths[index];
            break;
        }
    }

    const DecodedDateTime& m_parts;
    const DateTimeFormats& m_formats;
    int m_depth;
    std::string m_out;
};

} // namespace

std::string WithoutAmPm(std::string_view format)
{
    std::string result;
    char quote = 0;
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (quote != 0 || c == '"' || c == '\'') {
            quote = quote == 0 ? c : (c == quote ? 0 : quote);
            result.push_back(c);
            ++i;
            continue;
        }
        std::size_t marker = 0;
        if (StartsWithNoCase(format, i, "AMPM")) {
            marker = 4;
        } else if (StartsWithNoCase(format, i, "AM/PM")) {
            marker = 5;
        } else if (StartsWithNoCase(format, i, "A/P")) {
            marker = 3;
        }
        if (marker == 0) {
            result.push_back(c);
            ++i;
            continue;
        }
        while (!result.empty() && result.back() == ' ') {
            result.pop_back();
        }
        i += marker;
    }
    return result;
}

std::string FormatDateTime(std::string_view format, DateTime value, const DateTimeFormats& formats)
{
    const DecodedDateTime parts = DecodeDateTime(value);
    DateTimeWriter writer(parts, formats, 0);
    writer.Write(format.empty() ? std::string_view("c") : format);
    return writer.Take();
}

DateTime WholeSeconds(DateTime value)
{
    const double ms = std::round(value * kMsPerDay);
    return std::floor(ms / 1000.0) / 86400.0;
}

} // namespace sarvendo
