// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/CaptionAndTray.h"
#include "display/LineParameters.h"
#include "display/PanelHost.h"
#include "display/PanelPainter.h"
#include "platform/SystemMetrics.h"

#include <QImage>
#include <QSize>

#include <string>
#include <vector>

namespace sarvendo::fakes {

// A main window that only records: it takes the size it is given (so the next paint sees
// the matching client area) and keeps a copy of the last picture shown.
class FakePanelHost final : public PanelHost
{
public:
    explicit FakePanelHost(std::vector<std::string>* calls = nullptr) : m_calls(calls) {}

    QSize ClientSize() const override
    {
        Record("ClientSize");
        return client;
    }
    void MinimizeApplication() override
    {
        Record("MinimizeApplication");
        ++minimizeCount;
    }
    void ResizeWindow(int outerWidth, int outerHeight) override
    {
        Record("ResizeWindow");
        outer = QSize(outerWidth, outerHeight);
        if (followResize) {
            client = PanelPainter::ClientSizeOfWindow(outerWidth, outerHeight, captionShown);
        }
    }
    void ShowCanvas(const QImage& canvas) override
    {
        Record("ShowCanvas");
        shown = canvas.copy();
        ++showCount;
    }
    void SetByteLabels(const std::string& transmitted, const std::string& received) override
    {
        Record("SetByteLabels");
        labelTD = transmitted;
        labelRD = received;
    }

    QSize client{299, 205};
    bool followResize = true;
    bool captionShown = true;
    QSize outer;
    QImage shown;
    int showCount = 0;
    int minimizeCount = 0;
    std::string labelTD;
    std::string labelRD;

private:
    void Record(const char* call) const
    {
        if (m_calls != nullptr) {
            m_calls->emplace_back(call);
        }
    }
    std::vector<std::string>* m_calls;
};

class FakeLineParameters final : public LineParameters
{
public:
    std::uint32_t ReadBaudRate() override
    {
        ++baudReads;
        return baudRate;
    }
    void FormatCommParameters(std::string& buffer) override
    {
        if (!parameters.empty()) {
            if (!buffer.empty()) {
                buffer += ' ';
            }
            buffer += parameters;
        }
    }

    std::uint32_t baudRate = 0;
    std::string parameters; // "8N1 57600 "; empty while no open port is seen
    int baudReads = 0;
};

class FakeCaptionAndTray final : public CaptionAndTray
{
public:
    explicit FakeCaptionAndTray(std::vector<std::string>* calls) : m_calls(calls) {}
    void DrawTitleLamps() override { m_calls->emplace_back("DrawTitleLamps"); }
    void ApplyCaptionAndStayOnTop() override { m_calls->emplace_back("ApplyCaptionAndStayOnTop"); }
    void Win95Tray() override { m_calls->emplace_back("Win95Tray"); }

private:
    std::vector<std::string>* m_calls;
};

} // namespace sarvendo::fakes
