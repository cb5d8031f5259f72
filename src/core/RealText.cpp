// SPDX-License-Identifier: GPL-3.0-or-later
#include "RealText.h"

#include "core/Characters.h"

#include <charconv>
#include <cmath>

namespace sarvendo {

std::string RealToText(double value)
{
    if (!std::isfinite(value) || value == 0.0) {
        value = 0.0;
    }
    // to_chars never looks at the locale: printf would write a comma for the point once
    // the user's LC_NUMERIC is in force, and the file would then read back wrongly.
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    if (error != std::errc()) {
        return " 0.00000000000000E+0000";
    }
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    std::string mantissa(text.substr(0, e));
    const char expSign = text[e + 1];
    std::string expDigits(text.substr(e + 2));
    while (expDigits.size() < 4) {
        expDigits.insert(expDigits.begin(), '0');
    }
    if (mantissa.front() != '-') {
        mantissa.insert(mantissa.begin(), ' ');
    }
    return mantissa + "E" + expSign + expDigits;
}

double ParseRealPrefix(std::string_view text, double fallback)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    // A comma stands for the point: files written under a comma locale held one, and
    // reading them so repairs them at the next save.
    std::size_t point = std::string_view::npos;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        point = i;
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return fallback;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    // from_chars knows no leading "+", and always uses "." whatever the locale.
    std::string number(text.substr(start, i - start));
    if (point != std::string_view::npos) {
        number[point - start] = '.';
    }
    if (number.front() == '+') {
        number.erase(0, 1);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
        return fallback;
    }
    return value;
}
} // namespace sarvendo
