// SPDX-License-Identifier: GPL-3.0-or-later
#include "LocaleFormats.h"

#include <QLocale>
#include <QString>

namespace sarvendo {
namespace {

// Qt's date letters are the program's, but for the separator: a "/" in the program's
// format stands for the locale's separator, so Qt's literal separator is carried over
// as that.
std::string ConvertDateFormat(const QString& qtFormat, char& separator)
{
    std::string result;
    bool quoted = false;
    separator = '/';
    bool separatorFound = false;
    for (const QChar qc : qtFormat) {
        const char c = qc.toLatin1();
        if (c == '\'') {
            quoted = !quoted;
            result.push_back('"');
            continue;
        }
        if (quoted || c == 0) {
            result += QString(qc).toStdString();
            continue;
        }
        if (c == 'd' || c == 'M' || c == 'y') {
            result.push_back(c == 'M' ? 'm' : c);
        } else if (c == '/' || c == '.' || c == '-') {
            if (!separatorFound) {
                separator = c;
                separatorFound = true;
            }
            result.push_back(c == separator ? '/' : c);
        } else {
            result.push_back(c);
        }
    }
    return result.empty() ? std::string("m/d/yy") : result;
}

} // namespace

DateTimeFormats LocaleDateTimeFormats(const QLocale& locale)
{
    DateTimeFormats formats;
    formats.shortDateFormat = ConvertDateFormat(locale.dateFormat(QLocale::ShortFormat), formats.dateSeparator);
    const QString time = locale.timeFormat(QLocale::LongFormat);
    const bool twelveHour = time.contains(QLatin1Char('A'), Qt::CaseInsensitive);
    const bool leadingZero = time.startsWith(QStringLiteral("HH")) || time.startsWith(QStringLiteral("hh"));
    formats.timeSeparator = ':';
    formats.longTimeFormat = std::string(leadingZero ? "hh" : "h") + ":mm:ss" + (twelveHour ? " AMPM" : "");
    formats.shortTimeFormat = std::string(leadingZero ? "hh" : "h") + ":mm" + (twelveHour ? " AMPM" : "");
    if (const QString am = locale.amText(); !am.isEmpty()) {
        formats.timeAmString = am.toStdString();
    }
    if (const QString pm = locale.pmText(); !pm.isEmpty()) {
        formats.timePmString = pm.toStdString();
    }
    return formats;
}

} // namespace sarvendo
