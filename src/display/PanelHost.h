// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

#include <string>

class QImage;

namespace sarvendo {

// What the panel painter needs from the main window that shows the panel. The painter
// decides what the window looks like and how big it must be; the host owns the real
// widget and carries those decisions out.
class PanelHost
{
public:
    virtual ~PanelHost() = default;

    // The size of the window's client area as it is now.
    virtual QSize ClientSize() const = 0;

    // Minimises the application; nothing happens when it already is.
    virtual void MinimizeApplication() = 0;

    // Gives the window this outer size (frame and caption included, measured with the
    // classic system metrics) without moving it, restacking it or activating it.
    virtual void ResizeWindow(int outerWidth, int outerHeight) = 0;

    // Shows the finished picture in the window's image control in one piece; called once
    // per paint. The image stays valid until the next paint.
    virtual void ShowCanvas(const QImage& canvas) = 0;

    // Sets the captions of the setup dialog's byte labels (LabelTD, LabelRD).
    virtual void SetByteLabels(const std::string& transmitted, const std::string& received) = 0;
};

} // namespace sarvendo
