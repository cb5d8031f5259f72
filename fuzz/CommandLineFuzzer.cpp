// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the program's arguments (NUL-separated, as the system hands them over):
// the port and the port check come out as one of their few meaningful values.
#include "FuzzCheck.h"
#include "core/Settings.h"

#include "app/CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sarvendo;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\0', start), text.size());
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    Settings settings;
    ParseCommandLine(settings, arguments);
    const std::int32_t port = settings.CommandLinePort;
    fuzz::Check(port == -99 || port == -89 || (port >= 1 && port <= 4), "the port is none, invalid or 1 to 4");
    fuzz::Check(settings.AssumePortsPresent == 0 || settings.AssumePortsPresent == 1, "the port check is on or off");
    if (const auto number = ParseDecimalInteger(text)) {
        fuzz::Check(std::to_string(*number).size() <= text.size(), "a number comes from its digits");
    }
    SplitCommandLine(text);
    return 0;
}
