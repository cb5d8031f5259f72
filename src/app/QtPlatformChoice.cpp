// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtPlatformChoice.h"

#include <cstdlib>
#include <string_view>

namespace sarvendo {

std::string ChooseQtPlatform(int argc, const char* const* argv)
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && value[0] != '\0';
    };
    if (set("QT_QPA_PLATFORM")) {
        return {};
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
        if (argument == "-platform" || argument == "--platform" || argument.starts_with("-platform=") ||
            argument.starts_with("--platform=")) {
            return {};
        }
    }
    if (set("DISPLAY")) {
        return set("WAYLAND_DISPLAY") ? "xcb;wayland" : "xcb";
    }
    return set("WAYLAND_DISPLAY") ? "wayland" : std::string();
}

QtPlatformArguments::QtPlatformArguments(int argc, char** argv)
{
    m_values.assign(argv, argv + argc);
    if (std::string choice = ChooseQtPlatform(argc, argv); !choice.empty()) {
        m_added = {"-platform", std::move(choice)};
        for (std::string& added : m_added) {
            m_values.push_back(added.data());
        }
    }
    m_count = static_cast<int>(m_values.size());
    m_values.push_back(nullptr);
}

} // namespace sarvendo
