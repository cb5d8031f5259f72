// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtPlatformChoice.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace sarvendo {
namespace {

// Sets the variables for one case and puts the old values back afterwards.
class ScopedEnvironment
{
public:
    ScopedEnvironment(std::vector<std::pair<const char*, const char*>> values)
    {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name);
            m_saved.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
            if (value != nullptr) {
                setenv(name, value, 1);
            } else {
                unsetenv(name);
            }
        }
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : m_saved) {
            if (value) {
                setenv(name, value->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

TEST(QtPlatformArguments, ChosenForThisProcessAloneWhenTheUserChoseNone)
{
    const struct
    {
        const char* display;
        const char* wayland;
        const char* chosen;
        std::vector<const char*> arguments;
        const char* expected; // the platform added to the arguments
    } cases[] = {
        {":0", nullptr, nullptr, {"sarvendo"}, "xcb"},
        {":0", "wayland-0", nullptr, {"sarvendo", "2"}, "xcb;wayland"},
        {nullptr, "wayland-0", nullptr, {"sarvendo"}, "wayland"},
        {":0", "wayland-0", "wayland", {"sarvendo"}, nullptr},
        {":0", nullptr, nullptr, {"sarvendo", "-platform", "offscreen"}, nullptr},
        {":0", nullptr, nullptr, {"sarvendo", "--platform=offscreen"}, nullptr},
        {"", nullptr, nullptr, {"sarvendo"}, nullptr},
    };
    for (const auto& [display, wayland, chosen, arguments, expected] : cases) {
        const ScopedEnvironment environment(
            {{"DISPLAY", display}, {"WAYLAND_DISPLAY", wayland}, {"QT_QPA_PLATFORM", chosen}});
        std::vector<std::string> texts(arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& text : texts) {
            argv.push_back(text.data());
        }
        QtPlatformArguments qt(static_cast<int>(argv.size()), argv.data());
        std::vector<std::string> got(qt.Values(), qt.Values() + qt.Count());
        std::vector<std::string> want = texts;
        if (expected != nullptr) {
            want.insert(want.end(), {"-platform", expected});
        }
        EXPECT_EQ(got, want) << (display != nullptr ? display : "no display") << " " << arguments.size();
        EXPECT_EQ(qt.Values()[qt.Count()], nullptr);
        // Programs started later see the user's environment, not this process's choice.
        const char* platform = std::getenv("QT_QPA_PLATFORM");
        EXPECT_EQ(platform != nullptr ? std::string(platform) : std::string("(unset)"),
                  chosen != nullptr ? std::string(chosen) : std::string("(unset)"));
    }
}

} // namespace
} // namespace sarvendo
