#include "RealText.h"

#include "core/Characters.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sarvendo {

std::string RealToText(double value)
{
    if (!std::isfinite(value) || value == 0.0) {
        value = 0.0;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14E", value);
    std::string text(buffer);
    const std::size_t e = text.find('E');
    std::string mantissa = text.substr(0, e);
    const char expSign = text[e + 1];
    std::string expDigits = text.substr(e + 2);
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
    if (i < text.size() && text[i] == '.') {
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
