// SPDX-License-Identifier: GPL-3.0-or-later
// A helper for the caption overlay test on a real X server, in one of two parts:
//   sarvendo_caption_probe window TITLE WIDTH HEIGHT
//       an ordinary decorated window of another process, to be made active;
//   sarvendo_caption_probe caption ORIENTATION
//       the caption lamps with the real desktop: paints whenever the desktop's events ask
//       for it (never on a timer of its own), and prints "shown OVERLAY FRAME" (window ids
//       in decimal) or "hidden" whenever that changes. The line "carrier-loss" on standard input drops
//       the carrier as the poll cycle does;
//   sarvendo_caption_probe stale-active
//       names a window that does not exist as the active one, as a window manager does for
//       a moment when the active window is closed.

#include "core/Settings.h"

#include "display/LampSet.h"
#include "display/LineParameters.h"
#include "display/TitleLamps.h"
#include "monitor/ConnectTime.h"
#include "platform/Clock.h"
#include "platform/linux/X11CaptionOverlay.h"
#include "platform/linux/X11ForegroundWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace sarvendo {
namespace {

class StillClock final : public Clock
{
public:
    DateTime Now() const override { return 46000.5; }
    std::uint32_t TickCount() const override { return 0; }
    std::uint64_t MonotonicMs() const override { return 0; }
};

class NoLine final : public LineParameters
{
public:
    std::uint32_t ReadBaudRate() override { return 0; }
    void FormatCommParameters(std::string& /*buffer*/) override {}
};

class PlainWindow final : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent* /*event*/) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::white); }
};

int RunWindow(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    PlainWindow window;
    window.setTitle(QString::fromLocal8Bit(argv[2]));
    window.resize(std::stoi(argv[3]), std::stoi(argv[4]));
    window.show();
    return QGuiApplication::exec();
}

int RunCaption(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    Settings settings;
    settings.Title = 2;
    settings.LampCD = 1;
    settings.LampCTS = 1;
    settings.LampLookTitle = 1;
    settings.OrientationTitle = std::stoi(argv[2]);
    settings.DisplayConnectTimeInTitlebar = 1;
    settings.RebuildTitleLamps = 1;
    settings.RepaintNeeded = 1;
    StillClock clock;
    settings.SessionStart = clock.Now() - 3723 * kOneSecond;
    NoLine line;
    LampSet lamps(settings, line);
    X11ForegroundWindow foreground;
    X11CaptionOverlay overlay;
    const ConnectTime connectTime(settings, clock);
    TitleLamps title(settings, lamps, foreground, overlay, connectTime);

    std::string last;
    const auto report = [&] {
        std::string state = "hidden";
        if (overlay.Visible()) {
            const std::optional<CaptionTarget> target = foreground.Target();
            state = "shown " + std::to_string(overlay.NativeId()) + " " + std::to_string(target ? target->frame : 0);
        }
        if (state != last) {
            std::cout << state << std::endl;
            last = state;
        }
    };
    // The poll cycle's part: a tick that paints only when something asked for it.
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (settings.RepaintNeeded == 1) {
            settings.RepaintNeeded = 0;
            title.DrawTitleLamps();
        }
        report();
    });
    tick.start(50);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string command;
        if (!std::getline(std::cin, command)) {
            input.setEnabled(false);
            return;
        }
        if (command == "carrier-loss") {
            settings.LampCD = 0;
            title.HideCaptionStrip();
            settings.RepaintNeeded = 1;
        }
    });
    return QGuiApplication::exec();
}

int SetStaleActiveWindow()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return 1;
    }
    // Window ids carry the creating client's base; this one's base with a high resource
    // number names no window.
    const long stale = 0x7FFFF1;
    XChangeProperty(display, XDefaultRootWindow(display), XInternAtom(display, "_NET_ACTIVE_WINDOW", False), XA_WINDOW,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&stale), 1);
    XCloseDisplay(display);
    return 0;
}

} // namespace
} // namespace sarvendo

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "window" && argc == 5) {
        return sarvendo::RunWindow(argc, argv);
    }
    if (mode == "stale-active" && argc == 2) {
        return sarvendo::SetStaleActiveWindow();
    }
    if (mode == "caption" && argc == 3) {
        return sarvendo::RunCaption(argc, argv);
    }
    std::fputs("usage: sarvendo_caption_probe window TITLE WIDTH HEIGHT | caption ORIENTATION | stale-active\n",
               stderr);
    return 2;
}
