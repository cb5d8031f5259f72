#include "QtPlatformChoice.h"

#include <cstdlib>
#include <string_view>

namespace sarvendo {

void PreferX11Backend(int argc, const char* const* argv)
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && value[0] != '\0';
    };
    if (set("QT_QPA_PLATFORM") || !set("DISPLAY")) {
        return;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
        if (argument == "-platform" || argument == "--platform" || argument.starts_with("-platform=") ||
            argument.starts_with("--platform=")) {
            return;
        }
    }
    setenv("QT_QPA_PLATFORM", set("WAYLAND_DISPLAY") ? "xcb;wayland" : "xcb", 1);
}

} // namespace sarvendo
