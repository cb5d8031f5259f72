// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ForegroundWindow.h"

#include <QAbstractNativeEventFilter>

#include <array>

struct _XDisplay;

namespace sarvendo {

// The active window through Xlib on the Qt application's own X connection. The answer is
// kept until an event says it may be stale: the root window's _NET_ACTIVE_WINDOW changing,
// or the target's properties, configuration, mapping or life changing. Those events arrive
// on Qt's connection and are seen through a native event filter, so following the active
// window costs no polling and no connection of its own. Every query runs with an X error
// handler in place: a window closed between two requests makes the answer "no target"
// instead of ending the program. Needs a QGuiApplication on the xcb platform; on any other
// (offscreen, Wayland) it is not available and never has a target.
class X11ForegroundWindow final : public ForegroundWindow, public QAbstractNativeEventFilter
{
public:
    X11ForegroundWindow();
    ~X11ForegroundWindow() override;
    X11ForegroundWindow(const X11ForegroundWindow&) = delete;
    X11ForegroundWindow& operator=(const X11ForegroundWindow&) = delete;

    bool Available() const override;
    std::optional<CaptionTarget> Target() override;
    std::vector<std::uint32_t> DesktopPixels(const DesktopRect& area) override;
    void SetChangeHandler(std::function<void(ForegroundChange)> handler) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    enum AtomName : std::size_t
    {
        kNetActiveWindow,
        kNetFrameExtents,
        kNetWmAllowedActions,
        kNetWmActionMinimize,
        kNetWmActionMaximizeHorz,
        kNetWmActionMaximizeVert,
        kNetWmActionResize,
        kNetWmActionClose,
        kNetWmState,
        kNetWmStateHidden,
        kNetWmWindowType,
        kWmState,
        kNetWmPid,
        kWmClientMachine,
        kAtomCount
    };
    // A window watched for changes, with the event mask this connection had on it before.
    struct Watched
    {
        unsigned long window = 0;
        long savedMask = 0;
    };

    std::optional<CaptionTarget> Describe();
    unsigned long ReadActiveWindow();
    unsigned long OwnerOf(unsigned long window);
    unsigned long FrameOf(unsigned long client);
    bool IsOwnWindow(unsigned long client);
    bool IsPopup(unsigned long client);
    void Watch(Watched& slot, unsigned long window, long mask);
    void Unwatch(Watched& slot);
    void Changed(ForegroundChange change);
    std::vector<unsigned long> WindowsOverTitleBar(unsigned long frame, const DesktopRect& titleBar);

    _XDisplay* m_display = nullptr;
    unsigned long m_root = 0;
    std::array<unsigned long, kAtomCount> m_atoms{};
    std::array<unsigned long, 9> m_popupTypes{};
    std::function<void(ForegroundChange)> m_handler;

    bool m_described = false; // m_target holds an answer no event has made stale
    std::optional<CaptionTarget> m_target;
    unsigned long m_active = 0; // _NET_ACTIVE_WINDOW as last read
    Watched m_client;
    Watched m_frame;
    // The windows stacked over the target's title bar when it was described: the strip's
    // background sampled then holds their pixels, so their moving away makes it stale.
    std::vector<unsigned long> m_overTitleBar;
};

} // namespace sarvendo
