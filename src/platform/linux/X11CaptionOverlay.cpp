// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11CaptionOverlay.h"

#include "X11ErrorTrap.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRasterWindow>

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <cstring>

namespace sarvendo {

// The window itself: shows one picture at its own size.
class CaptionOverlayWindow final : public QRasterWindow
{
public:
    CaptionOverlayWindow()
    {
        setFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput |
                 Qt::X11BypassWindowManagerHint);
        setTitle(QStringLiteral("Sarvendo caption lamps"));
    }

    void SetPicture(QImage picture)
    {
        m_picture = std::move(picture);
        update();
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), m_picture);
    }

private:
    QImage m_picture;
};

X11CaptionOverlay::X11CaptionOverlay()
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = application != nullptr ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 != nullptr) {
        m_display = x11->display();
    }
}

X11CaptionOverlay::~X11CaptionOverlay() = default;

void X11CaptionOverlay::Show(WindowId frame, const DesktopRect& place, const PixelView& picture)
{
    if (m_display == nullptr || place.width <= 0 || place.height <= 0 || picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        return;
    }
    if (!m_window) {
        m_window = std::make_unique<CaptionOverlayWindow>();
    }
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y), picture.pixels.data() + static_cast<std::size_t>(y) * picture.width,
                    static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t));
    }
    // Qt places windows in its own scaled units on a high-density screen; the picture and
    // the place are desktop pixels and must stay so.
    const qreal ratio = m_window->devicePixelRatio() > 0 ? m_window->devicePixelRatio() : 1.0;
    image.setDevicePixelRatio(ratio);
    m_window->SetPicture(std::move(image));
    const QRect geometry(qRound(place.x / ratio), qRound(place.y / ratio), qRound(place.width / ratio),
                         qRound(place.height / ratio));
    if (m_window->geometry() != geometry) {
        m_window->setGeometry(geometry);
    }
    const bool newlyShown = !m_window->isVisible();
    if (newlyShown) {
        m_window->show();
        // An empty input shape lets every click through to the title bar beneath. Qt gives
        // its window a full one as it maps it, so the shape is set after each show.
        X11ErrorTrap trap(m_display);
        XShapeCombineRectangles(m_display, m_window->winId(), ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    }
    // A new picture at the same place needs no trip to the server beyond its repaint.
    if (newlyShown || frame != m_frame) {
        Restack(frame);
    }
}

void X11CaptionOverlay::Restack(WindowId frame)
{
    // Directly above the frame: windows stacked above the target keep covering the strip
    // as they cover the title bar it sits on.
    X11ErrorTrap trap(m_display);
    XWindowChanges changes{};
    changes.sibling = frame;
    changes.stack_mode = Above;
    XConfigureWindow(m_display, m_window->winId(), CWSibling | CWStackMode, &changes);
    m_frame = frame;
    if (trap.Check()) {
        // The frame is gone or is no sibling of ours: a strip over nothing would float.
        m_window->hide();
    }
}

void X11CaptionOverlay::Hide()
{
    if (m_window && m_window->isVisible()) {
        m_window->hide();
        if (m_display != nullptr) {
            XFlush(m_display);
        }
    }
}

bool X11CaptionOverlay::Visible() const
{
    return m_window && m_window->isVisible();
}

WindowId X11CaptionOverlay::NativeId() const
{
    return m_window ? static_cast<WindowId>(m_window->winId()) : 0;
}

} // namespace sarvendo
