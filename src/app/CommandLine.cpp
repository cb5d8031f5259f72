// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "core/Settings.h"

#include <charconv>
#include <cstdint>

namespace sarvendo {
namespace {

constexpr std::int32_t kInvalidPort = -89;

void ReadPortArgument(Settings& settings, const std::string& argument)
{
    if (const auto number = ParseDecimalInteger(argument)) {
        settings.CommandLinePort = *number >= 1 && *number <= 4 ? *number : kInvalidPort;
    }
}

bool IsAutoCheck(const std::string& argument)
{
    constexpr std::string_view kAutoCheck = "-AUTOCHECK";
    if (argument.size() != kAutoCheck.size()) {
        return false;
    }
    for (std::size_t i = 0; i < argument.size(); ++i) {
        char c = argument[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != kAutoCheck[i]) {
            return false;
        }
    }
    return true;
}

// "2026-12-09", a real date.
std::optional<Date> ParseIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const auto part = [&](std::size_t at, std::size_t length) -> std::optional<int> {
        int value = 0;
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + length, value);
        return error == std::errc() && end == text.data() + at + length ? std::optional<int>(value) : std::nullopt;
    };
    const auto year = part(0, 4);
    const auto month = part(5, 2);
    const auto day = part(8, 2);
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1) {
        return std::nullopt;
    }
    constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (*year % 4 == 0 && *year % 100 != 0) || *year % 400 == 0;
    if (*day > kDays[*month - 1] || (*month == 2 && *day == 29 && !leap)) {
        return std::nullopt;
    }
    return Date{*year, *month, *day};
}

} // namespace

HistoryArguments ParseHistoryArguments(const std::vector<std::string>& arguments)
{
    HistoryArguments parsed;
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--csv") {
            parsed.request.csv = true;
            continue;
        }
        if (option != "--by" && option != "--from" && option != "--to") {
            parsed.error = "unknown option " + option;
            break;
        }
        if (i + 1 >= arguments.size()) {
            parsed.error = option + " needs a value";
            break;
        }
        const std::string& value = arguments[++i];
        if (option == "--by") {
            if (value == "day") {
                parsed.request.by = Grouping::Day;
            } else if (value == "month") {
                parsed.request.by = Grouping::Month;
            } else if (value == "year") {
                parsed.request.by = Grouping::Year;
            } else {
                parsed.error = "--by takes day, month or year, not " + value;
            }
            continue;
        }
        const std::optional<Date> date = ParseIsoDate(value);
        if (!date) {
            parsed.error = option + " takes a date as 2026-12-31, not " + value;
        } else {
            (option == "--from" ? parsed.request.from : parsed.request.to) = date;
        }
    }
    return parsed;
}

std::optional<int> ParseDecimalInteger(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

void ParseCommandLine(Settings& settings, const std::vector<std::string>& arguments)
{
    settings.CommandLinePort = -99;
    settings.AssumePortsPresent = 1;
    if (arguments.empty()) {
        return;
    }
    // The second argument is read first so that the first one wins when both are numbers.
    if (arguments.size() >= 2) {
        ReadPortArgument(settings, arguments[1]);
    }
    ReadPortArgument(settings, arguments[0]);
    if (IsAutoCheck(arguments[0])) {
        settings.AssumePortsPresent = 0;
    }
    if (arguments.size() >= 2 && IsAutoCheck(arguments[1])) {
        settings.AssumePortsPresent = 0;
    }
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace sarvendo
