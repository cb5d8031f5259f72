// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryReport.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sarvendo {

struct Settings;

// Reads the program's arguments (without the program name) into CommandLinePort and
// AssumePortsPresent. Only the first two arguments count: a port number 1 to 4 (an
// invalid number gives -89; the first argument wins when both are numbers) and
// "-AUTOCHECK" in any case, which asks for the ports to be probed. Anything else is
// ignored.
void ParseCommandLine(Settings& settings, const std::vector<std::string>& arguments);

// A whole decimal integer: optional blanks, an optional sign, digits and nothing after;
// empty when the text is anything else or does not fit 32 bits.
std::optional<int> ParseDecimalInteger(std::string_view text);

// Splits a command line the user typed into the program and its arguments: blanks
// separate words, double quotes group blanks into a word and are removed. Nothing else
// is interpreted, so the words can be handed to the system as they are.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments after "--history": "--by day|month|year", "--from DATE", "--to DATE"
// (ISO dates, both included) and "--csv", in any order. Error is empty when they are
// right, else says what is wrong.
struct HistoryArguments
{
    HistoryRequest request;
    std::string error;
};
HistoryArguments ParseHistoryArguments(const std::vector<std::string>& arguments);

} // namespace sarvendo
