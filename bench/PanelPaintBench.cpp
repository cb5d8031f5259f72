// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of painting the lamp window: an ordinary paint (lamps and text over the cached
// panel, one copy to the window) against a rebuild (the layout and lamp pictures loaded and
// recoloured pixel by pixel).

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

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace sarvendo;

void EnsureApplication()
{
    static std::unique_ptr<QGuiApplication> application = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "sarvendo_display_bench";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

class BenchHost final : public PanelHost
{
public:
    QSize ClientSize() const override { return client; }
    void MinimizeApplication() override {}
    void ResizeWindow(int outerWidth, int outerHeight) override
    {
        client = PanelPainter::ClientSizeOfWindow(outerWidth, outerHeight, true);
    }
    void ShowCanvas(const QImage& canvas) override { benchmark::DoNotOptimize(canvas.constBits()); }
    void SetByteLabels(const std::string&, const std::string&) override {}

    QSize client{299, 205};
};

class BenchLine final : public LineParameters
{
public:
    std::uint32_t ReadBaudRate() override { return 57600; }
    void FormatCommParameters(std::string& buffer) override { buffer += " 8N1 57600 "; }
};

class BenchClock final : public Clock
{
public:
    DateTime Now() const override { return 46000.5; }
    std::uint32_t TickCount() const override { return 0; }
    std::uint64_t MonotonicMs() const override { return 0; }
};

struct Fixture
{
    explicit Fixture(int layout)
    {
        settings.NewOrientation = layout;
        settings.DefaultPort = 1;
        settings.StatusInDisplay = 1;
        settings.SPYSpeedInDisplay = 1;
        settings.DisplayConnectTime = 1;
        settings.LampCD = 1;
        settings.SessionStart = 46000.4;
        settings.RebuildWindowLamps = 1;
        painter.FormPaint();
        painter.FormPaint();
    }

    Settings settings;
    BenchHost host;
    BenchLine line;
    BenchClock clock;
    ConnectTime connectTime{settings, clock};
    LampSet lamps{settings, line};
    NoCaptionAndTray noCaptionAndTray;
    PanelPainter painter{settings, host, noCaptionAndTray, lamps, line, connectTime};
};

void BM_OrdinaryPaint(benchmark::State& state)
{
    EnsureApplication();
    Fixture fixture(static_cast<int>(state.range(0)));
    std::uint8_t flip = 0;
    for (auto _ : state) {
        // Lamps change between paints as they do under traffic.
        fixture.settings.LampTD = flip;
        fixture.settings.LampRD = static_cast<std::uint8_t>(1 - flip);
        flip = static_cast<std::uint8_t>(1 - flip);
        fixture.painter.FormPaint();
    }
}
BENCHMARK(BM_OrdinaryPaint)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

void BM_RebuildPaint(benchmark::State& state)
{
    EnsureApplication();
    Fixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        fixture.settings.RebuildWindowLamps = 1;
        fixture.painter.FormPaint();
    }
}
BENCHMARK(BM_RebuildPaint)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

} // namespace
