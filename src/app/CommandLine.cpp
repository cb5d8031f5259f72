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

} // namespace

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
