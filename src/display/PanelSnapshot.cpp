// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the lamp panel of one layout, as the main window shows it, into a PNG file:
// for reviewing the pictures and the painter's composition without a running program.
//
//   sarvendo_panel_snapshot OUT.png LAYOUT [LOOK] [KEY=VALUE...]
//
// KEY is one of the lamp flags (CTS RTS RI CD DSR TD RD DTR HS) or status, speed,
// time (the three text lines), baud (the port rate), each set to the given number.

#include "core/Settings.h"

#include "display/CaptionAndTray.h"
#include "display/LampSet.h"
#include "display/LineParameters.h"
#include "display/PanelHost.h"
#include "display/PanelPainter.h"
#include "monitor/ConnectTime.h"
#include "platform/Clock.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace sarvendo;

class SnapshotHost final : public PanelHost
{
public:
    explicit SnapshotHost(const Settings& settings) : m_settings(settings) {}
    QSize ClientSize() const override { return client; }
    void MinimizeApplication() override {}
    void ResizeWindow(int outerWidth, int outerHeight) override
    {
        client = PanelPainter::ClientSizeOfWindow(outerWidth, outerHeight, m_settings.NoTitleBar != 1);
    }
    void ShowCanvas(const QImage& canvas) override { shown = canvas.copy(QRect(QPoint(0, 0), client)); }
    void SetByteLabels(const std::string&, const std::string&) override {}

    QSize client{299, 205};
    QImage shown;

private:
    const Settings& m_settings;
};

class SnapshotLine final : public LineParameters
{
public:
    std::uint32_t ReadBaudRate() override { return baud; }
    void FormatCommParameters(std::string& buffer) override
    {
        if (baud != 0) {
            buffer += " 8N1 " + std::to_string(baud) + " ";
        }
    }
    std::uint32_t baud = 0;
};

class SnapshotClock final : public Clock
{
public:
    DateTime Now() const override { return 46000.5; }
    std::uint32_t TickCount() const override { return 0; }
    std::uint64_t MonotonicMs() const override { return 0; }
};

bool Apply(Settings& settings, SnapshotLine& line, const std::string& key, int value)
{
    const auto flag = static_cast<std::uint8_t>(value);
    if (key == "CTS") {
        settings.LampCTS = flag;
    } else if (key == "RTS") {
        settings.LampRTS = flag;
    } else if (key == "RI") {
        settings.LampRI = flag;
    } else if (key == "CD") {
        settings.LampCD = flag;
    } else if (key == "DSR") {
        settings.LampDSR = flag;
    } else if (key == "TD") {
        settings.LampTD = flag;
    } else if (key == "RD") {
        settings.LampRD = flag;
    } else if (key == "DTR") {
        settings.LampDTR = flag;
    } else if (key == "HS") {
        settings.HighSpeed = flag;
    } else if (key == "status") {
        settings.StatusInDisplay = value;
    } else if (key == "speed") {
        settings.SPYSpeedInDisplay = value;
        settings.TDBytesLastWindow = 1200;
        settings.RDBytesLastWindow = 14800;
    } else if (key == "time") {
        settings.DisplayConnectTime = value;
    } else if (key == "baud") {
        line.baud = static_cast<std::uint32_t>(value);
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: sarvendo_panel_snapshot OUT.png LAYOUT [LOOK] [KEY=VALUE...]\n");
        return 2;
    }
    Settings settings;
    settings.DefaultPort = 1;
    settings.NewOrientation = std::atoi(argv[2]);
    settings.RebuildWindowLamps = 1;
    settings.SessionStart = 46000.5 - (3600.0 + 23 * 60 + 45) / 86400.0;
    SnapshotLine line;
    int next = 3;
    if (argc > 3 && std::string(argv[3]).find('=') == std::string::npos) {
        settings.LampLook = std::atoi(argv[3]);
        next = 4;
    }
    for (; next < argc; ++next) {
        const std::string argument = argv[next];
        const auto equals = argument.find('=');
        if (equals == std::string::npos ||
            !Apply(settings, line, argument.substr(0, equals), std::atoi(argument.c_str() + equals + 1))) {
            std::fprintf(stderr, "unknown setting %s\n", argv[next]);
            return 2;
        }
    }
    SnapshotHost host(settings);
    SnapshotClock clock;
    const ConnectTime connectTime(settings, clock);
    LampSet lamps(settings, line);
    NoCaptionAndTray noCaptionAndTray;
    PanelPainter painter(settings, host, noCaptionAndTray, lamps, line, connectTime);
    painter.FormPaint();
    painter.FormPaint();
    return host.shown.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
