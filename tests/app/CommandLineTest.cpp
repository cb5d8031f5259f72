// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "core/Settings.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

struct Parsed
{
    std::int32_t port;
    std::int32_t assumePresent;
};

Parsed Parse(const std::vector<std::string>& arguments)
{
    Settings settings;
    settings.CommandLinePort = 1234; // parsing starts from scratch
    settings.AssumePortsPresent = 5;
    ParseCommandLine(settings, arguments);
    return {settings.CommandLinePort, settings.AssumePortsPresent};
}

TEST(CommandLineTest, PortArguments)
{
    struct Case
    {
        std::vector<std::string> arguments;
        std::int32_t port;
        std::int32_t assumePresent;
    };
    const Case cases[] = {
        {{}, -99, 1},
        {{"1"}, 1, 1},
        {{"4"}, 4, 1},
        {{"0"}, -89, 1},
        {{"5"}, -89, 1},
        {{"-1"}, -89, 1},
        {{"3", "9"}, 3, 1},        // the first argument wins
        {{"9", "3"}, -89, 1},      // ... also when it is invalid
        {{"abc", "2"}, 2, 1},      // words that are not numbers are ignored
        {{"2x"}, -99, 1},          // not a whole number
        {{"99999999999"}, -99, 1}, // does not fit
        {{" 2"}, 2, 1},            // leading blanks are allowed
        {{"2", "3", "4"}, 2, 1},   // a third argument is never read
        {{"x", "y", "1"}, -99, 1},
        {{"-AUTOCHECK"}, -99, 0},
        {{"-autocheck"}, -99, 0},
        {{"-AutoCheck", "2"}, 2, 0},
        {{"2", "-AUTOCHECK"}, 2, 0},
        {{"1", "2", "-AUTOCHECK"}, 1, 1},
        {{"-AUTOCHECKS"}, -99, 1},
        {{"AUTOCHECK"}, -99, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const Parsed parsed = Parse(c.arguments);
        EXPECT_EQ(parsed.port, c.port);
        EXPECT_EQ(parsed.assumePresent, c.assumePresent);
    }
}

TEST(CommandLineTest, SplittingACommandLineKeepsQuotedBlanksAndNothingElseSpecial)
{
    EXPECT_EQ(SplitCommandLine(""), std::vector<std::string>{});
    EXPECT_EQ(SplitCommandLine("   "), std::vector<std::string>{});
    EXPECT_EQ(SplitCommandLine("xterm -e top"), (std::vector<std::string>{"xterm", "-e", "top"}));
    EXPECT_EQ(SplitCommandLine("  \"/opt/my app/run\"  --x  "), (std::vector<std::string>{"/opt/my app/run", "--x"}));
    EXPECT_EQ(SplitCommandLine("a\"b c\"d \"\""), (std::vector<std::string>{"ab cd", ""}));
    EXPECT_EQ(SplitCommandLine("echo $HOME; rm *|x"), (std::vector<std::string>{"echo", "$HOME;", "rm", "*|x"}));
    EXPECT_EQ(SplitCommandLine("\"unclosed quote"), std::vector<std::string>{"unclosed quote"});
}

TEST(CommandLineTest, HistoryOptionsAreTakenInAnyOrderAndWrongOnesNamed)
{
    const HistoryArguments all =
        ParseHistoryArguments({"--csv", "--to", "2026-12-31", "--by", "month", "--from", "2024-02-29"});
    EXPECT_EQ(all.error, "");
    EXPECT_TRUE(all.request.csv);
    EXPECT_EQ(all.request.by, Grouping::Month);
    EXPECT_EQ(all.request.from, (Date{2024, 2, 29}));
    EXPECT_EQ(all.request.to, (Date{2026, 12, 31}));
    EXPECT_FALSE(ParseHistoryArguments({}).request.by);
    const std::pair<std::vector<std::string>, std::string> wrong[] = {
        {{"--by", "week"}, "--by takes day, month or year, not week"},
        {{"--from", "2025-02-29"}, "--from takes a date as 2026-12-31, not 2025-02-29"},
        {{"--to", "12/31/26"}, "--to takes a date as 2026-12-31, not 12/31/26"},
        {{"--to"}, "--to needs a value"},
        {{"--json"}, "unknown option --json"},
    };
    for (const auto& [arguments, error] : wrong) {
        EXPECT_EQ(ParseHistoryArguments(arguments).error, error);
    }
}

} // namespace
} // namespace sarvendo
