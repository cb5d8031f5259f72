// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11ForegroundWindow.h"

#include "X11ErrorTrap.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QWindow>

// Xlib's macros clash with Qt's names, so the X11 headers come after Qt's.
#include "platform/linux/X11Properties.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <bit>
#include <string>
#include <unistd.h>
#include <xcb/xcb.h>

namespace sarvendo {
namespace {

// Owner chains and frame nesting are short; the limits only stop a malicious or broken
// chain that loops.
constexpr int kMaxOwnerSteps = 8;
constexpr int kMaxFrameDepth = 16;

constexpr long kClientMask = PropertyChangeMask | StructureNotifyMask;
constexpr long kFrameMask = StructureNotifyMask;

bool Contains(const std::vector<unsigned long>& items, unsigned long item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

// One colour channel of a pixel, scaled to eight bits whatever the visual's depth.
std::uint32_t Channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const unsigned long maximum = mask >> shift;
    return static_cast<std::uint32_t>(((pixel & mask) >> shift) * 255U / maximum);
}

} // namespace

X11ForegroundWindow::X11ForegroundWindow()
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = application != nullptr ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->display() == nullptr) {
        return;
    }
    m_display = x11->display();
    m_root = XDefaultRootWindow(m_display);

    static constexpr std::array<const char*, kAtomCount> kNames{
        "_NET_ACTIVE_WINDOW",
        "_NET_FRAME_EXTENTS",
        "_NET_WM_ALLOWED_ACTIONS",
        "_NET_WM_ACTION_MINIMIZE",
        "_NET_WM_ACTION_MAXIMIZE_HORZ",
        "_NET_WM_ACTION_MAXIMIZE_VERT",
        "_NET_WM_ACTION_RESIZE",
        "_NET_WM_ACTION_CLOSE",
        "_NET_WM_STATE",
        "_NET_WM_STATE_HIDDEN",
        "_NET_WM_WINDOW_TYPE",
        "WM_STATE",
        "_NET_WM_PID",
        "WM_CLIENT_MACHINE",
    };
    static constexpr std::array<const char*, 9> kPopupTypes{
        "_NET_WM_WINDOW_TYPE_MENU",    "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", "_NET_WM_WINDOW_TYPE_POPUP_MENU",
        "_NET_WM_WINDOW_TYPE_TOOLTIP", "_NET_WM_WINDOW_TYPE_NOTIFICATION",  "_NET_WM_WINDOW_TYPE_COMBO",
        "_NET_WM_WINDOW_TYPE_DND",     "_NET_WM_WINDOW_TYPE_SPLASH",        "_NET_WM_WINDOW_TYPE_DOCK",
    };
    X11ErrorTrap trap(m_display);
    XInternAtoms(m_display, const_cast<char**>(kNames.data()), static_cast<int>(kNames.size()), False, m_atoms.data());
    XInternAtoms(m_display, const_cast<char**>(kPopupTypes.data()), static_cast<int>(kPopupTypes.size()), False,
                 m_popupTypes.data());

    // Qt already listens to the root window's properties; adding to its mask, never
    // replacing it, keeps Qt's own events coming.
    XWindowAttributes rootAttributes{};
    if (XGetWindowAttributes(m_display, m_root, &rootAttributes) != 0) {
        // The moves of all top-level windows, for those that covered the target's title bar.
        XSelectInput(m_display, m_root, rootAttributes.your_event_mask | PropertyChangeMask | SubstructureNotifyMask);
    }
    application->installNativeEventFilter(this);
}

X11ForegroundWindow::~X11ForegroundWindow()
{
    if (m_display == nullptr) {
        return;
    }
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    X11ErrorTrap trap(m_display);
    Unwatch(m_client);
    Unwatch(m_frame);
}

bool X11ForegroundWindow::Available() const
{
    return m_display != nullptr;
}

void X11ForegroundWindow::SetChangeHandler(std::function<void(ForegroundChange)> handler)
{
    m_handler = std::move(handler);
}

std::optional<CaptionTarget> X11ForegroundWindow::Target()
{
    if (m_display == nullptr) {
        return std::nullopt;
    }
    if (!m_described) {
        m_target = Describe();
    }
    return m_target;
}

unsigned long X11ForegroundWindow::ReadActiveWindow()
{
    const std::vector<unsigned long> active = LongProperty(m_display, m_root, m_atoms[kNetActiveWindow], XA_WINDOW);
    return active.empty() ? 0 : active.front();
}

unsigned long X11ForegroundWindow::OwnerOf(unsigned long window)
{
    // A dialog's caption is too small a home for the strip; like any owned window it shows
    // the lamps on the caption of the window that owns it.
    for (int step = 0; step < kMaxOwnerSteps; ++step) {
        Window owner = 0;
        if (XGetTransientForHint(m_display, window, &owner) == 0 || owner == 0 || owner == m_root || owner == window) {
            break;
        }
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(m_display, owner, &attributes) == 0) {
            // The owner is gone; the window it left behind stands on its own.
            break;
        }
        window = owner;
    }
    return window;
}

unsigned long X11ForegroundWindow::FrameOf(unsigned long client)
{
    Window window = client;
    for (int depth = 0; depth < kMaxFrameDepth; ++depth) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(m_display, window, &root, &parent, &children, &count) == 0) {
            return 0;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == 0 || parent == root) {
            return window;
        }
        window = parent;
    }
    return 0;
}

bool X11ForegroundWindow::IsOwnWindow(unsigned long client)
{
    for (const QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle() != nullptr && window->winId() == client) {
            return true;
        }
    }
    // Windows this process made without Qt's knowledge still carry its process id; the
    // machine's name guards against a remote client that happens to have the same one.
    const std::vector<unsigned long> pid = LongProperty(m_display, client, m_atoms[kNetWmPid], XA_CARDINAL);
    if (pid.empty() || pid.front() != static_cast<unsigned long>(getpid())) {
        return false;
    }
    const std::string machine = TextProperty(m_display, client, m_atoms[kWmClientMachine]);
    std::array<char, 256> host{};
    return machine.empty() || (gethostname(host.data(), host.size() - 1) == 0 && machine == host.data());
}

bool X11ForegroundWindow::IsPopup(unsigned long client)
{
    for (const unsigned long type : LongProperty(m_display, client, m_atoms[kNetWmWindowType], XA_ATOM)) {
        if (std::find(m_popupTypes.begin(), m_popupTypes.end(), type) != m_popupTypes.end()) {
            return true;
        }
    }
    return false;
}

void X11ForegroundWindow::Watch(Watched& slot, unsigned long window, long mask)
{
    if (slot.window == window) {
        return;
    }
    Unwatch(slot);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(m_display, window, &attributes) == 0) {
        return;
    }
    slot.window = window;
    slot.savedMask = attributes.your_event_mask;
    XSelectInput(m_display, window, attributes.your_event_mask | mask);
}

void X11ForegroundWindow::Unwatch(Watched& slot)
{
    if (slot.window != 0) {
        XSelectInput(m_display, slot.window, slot.savedMask);
    }
    slot = Watched{};
}

std::optional<CaptionTarget> X11ForegroundWindow::Describe()
{
    X11ErrorTrap trap(m_display);
    m_active = ReadActiveWindow();
    const bool unreadable = trap.Check();
    if (m_active == 0 || unreadable) {
        // No window is active: nothing to describe until the root says otherwise.
        Unwatch(m_client);
        Unwatch(m_frame);
        m_described = !unreadable;
        return std::nullopt;
    }

    CaptionTarget target;
    const unsigned long client = OwnerOf(m_active);
    trap.Check(); // an owner that vanished was skipped; that error is no failure
    target.client = client;
    target.isForeground = client == m_active;
    target.ownProcess = IsOwnWindow(client);
    // Events are asked for before the properties are read, so a change in between is
    // reported rather than missed. Our own windows are left to Qt.
    if (target.ownProcess) {
        Unwatch(m_client);
    } else {
        Watch(m_client, client, kClientMask);
    }
    const unsigned long frame = FrameOf(client);
    if (frame == 0) {
        return std::nullopt;
    }
    target.frame = frame;
    if (target.ownProcess || frame == client) {
        Unwatch(m_frame);
    } else {
        Watch(m_frame, frame, kFrameMask);
    }

    XWindowAttributes frameAttributes{};
    XWindowAttributes clientAttributes{};
    if (XGetWindowAttributes(m_display, frame, &frameAttributes) == 0 ||
        XGetWindowAttributes(m_display, client, &clientAttributes) == 0) {
        return std::nullopt;
    }
    const int border = frameAttributes.border_width;
    target.frameRect = {frameAttributes.x, frameAttributes.y, frameAttributes.width + 2 * border,
                        frameAttributes.height + 2 * border};

    const std::vector<unsigned long> extents = LongProperty(m_display, client, m_atoms[kNetFrameExtents], XA_CARDINAL);
    if (extents.size() >= 4) {
        target.extents = {static_cast<int>(extents[0]), static_cast<int>(extents[1]), static_cast<int>(extents[2]),
                          static_cast<int>(extents[3])};
    } else if (frame != client) {
        // A window manager that does not publish its extents still shows them in where
        // it put the client inside the frame.
        int x = 0;
        int y = 0;
        Window child = 0;
        if (XTranslateCoordinates(m_display, client, frame, 0, 0, &x, &y, &child) != 0) {
            target.extents = {x, frameAttributes.width - clientAttributes.width - x, y,
                              frameAttributes.height - clientAttributes.height - y};
        }
    }

    const std::vector<unsigned long> actions = LongProperty(m_display, client, m_atoms[kNetWmAllowedActions], XA_ATOM);
    target.minimiseBox = Contains(actions, m_atoms[kNetWmActionMinimize]);
    target.maximiseBox =
        Contains(actions, m_atoms[kNetWmActionMaximizeHorz]) || Contains(actions, m_atoms[kNetWmActionMaximizeVert]);
    target.sizeable = Contains(actions, m_atoms[kNetWmActionResize]);
    target.systemMenu = Contains(actions, m_atoms[kNetWmActionClose]);

    const std::vector<unsigned long> wmState = LongProperty(m_display, client, m_atoms[kWmState], m_atoms[kWmState]);
    target.minimised =
        Contains(LongProperty(m_display, client, m_atoms[kNetWmState], XA_ATOM), m_atoms[kNetWmStateHidden]) ||
        (!wmState.empty() && wmState.front() == IconicState) || frameAttributes.map_state != IsViewable;
    target.popup = clientAttributes.override_redirect != 0 || frameAttributes.override_redirect != 0 || IsPopup(client);

    m_overTitleBar = WindowsOverTitleBar(
        frame, DesktopRect{target.frameRect.x, target.frameRect.y, target.frameRect.width, target.extents.top});

    if (trap.Check()) {
        // The window went away while it was being read; the events that follow will
        // say what is active now.
        return std::nullopt;
    }
    m_described = true;
    return target;
}

std::vector<unsigned long> X11ForegroundWindow::WindowsOverTitleBar(unsigned long frame, const DesktopRect& titleBar)
{
    std::vector<unsigned long> over;
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (titleBar.height <= 0 || XQueryTree(m_display, m_root, &rootReturn, &parent, &children, &count) == 0) {
        return over;
    }
    // Bottom to top: only what comes after the frame is stacked over it.
    bool above = false;
    for (unsigned int i = 0; i < count; ++i) {
        if (!above) {
            above = children[i] == frame;
            continue;
        }
        XWindowAttributes attributes{};
        // Menus, tooltips and the strip itself are fleeting or ours; a managed window
        // over the title bar is what leaves its pixels in the sample.
        if (XGetWindowAttributes(m_display, children[i], &attributes) == 0 || attributes.map_state != IsViewable ||
            attributes.override_redirect != 0) {
            continue;
        }
        const bool overlaps = attributes.x < titleBar.x + titleBar.width &&
                              attributes.x + attributes.width + 2 * attributes.border_width > titleBar.x &&
                              attributes.y < titleBar.y + titleBar.height &&
                              attributes.y + attributes.height + 2 * attributes.border_width > titleBar.y;
        if (overlaps) {
            over.push_back(children[i]);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return over;
}

std::vector<std::uint32_t> X11ForegroundWindow::DesktopPixels(const DesktopRect& area)
{
    if (m_display == nullptr || area.width <= 0 || area.height <= 0) {
        return {};
    }
    Screen* screen = XDefaultScreenOfDisplay(m_display);
    if (area.x < 0 || area.y < 0 || area.x + area.width > XWidthOfScreen(screen) ||
        area.y + area.height > XHeightOfScreen(screen)) {
        return {};
    }
    X11ErrorTrap trap(m_display);
    XImage* image = XGetImage(m_display, m_root, area.x, area.y, static_cast<unsigned int>(area.width),
                              static_cast<unsigned int>(area.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return {};
    }
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height));
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            pixels.push_back(0xFF000000U | (Channel(pixel, image->red_mask) << 16U) |
                             (Channel(pixel, image->green_mask) << 8U) | Channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return pixels;
}

void X11ForegroundWindow::Changed(ForegroundChange change)
{
    m_described = false;
    if (m_handler) {
        m_handler(change);
    }
}

bool X11ForegroundWindow::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/)
{
    if (eventType != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const unsigned long client = m_client.window;
    const unsigned long frame = m_frame.window;
    const auto isTarget = [&](xcb_window_t window) { return window != 0 && (window == client || window == frame); };
    const auto coveredTitleBar = [&](xcb_window_t window) {
        return m_described && std::find(m_overTitleBar.begin(), m_overTitleBar.end(), window) != m_overTitleBar.end();
    };
    switch (event->response_type & 0x7FU) {
    case XCB_PROPERTY_NOTIFY: {
        const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (property->window == m_root && property->atom == m_atoms[kNetActiveWindow]) {
            // Window managers rewrite the property with the same window now and then;
            // only a real change of activation counts.
            X11ErrorTrap trap(m_display);
            if (ReadActiveWindow() != m_active || !m_described) {
                Changed(ForegroundChange::ActiveWindow);
            }
        } else if (client != 0 && property->window == client) {
            const unsigned long atom = property->atom;
            if (atom == m_atoms[kNetWmState] || atom == m_atoms[kWmState] || atom == m_atoms[kNetFrameExtents] ||
                atom == m_atoms[kNetWmAllowedActions] || atom == m_atoms[kNetWmWindowType] ||
                atom == XA_WM_TRANSIENT_FOR) {
                // A new title (a clock, a player) moves nothing: the strip stays.
                Changed(ForegroundChange::State);
            }
        }
        break;
    }
    case XCB_CONFIGURE_NOTIFY: {
        const xcb_window_t window = reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window;
        if (isTarget(window) || coveredTitleBar(window)) {
            Changed(ForegroundChange::Moved);
        }
        break;
    }
    case XCB_REPARENT_NOTIFY:
        if (isTarget(reinterpret_cast<const xcb_reparent_notify_event_t*>(event)->window)) {
            Changed(ForegroundChange::Moved);
        }
        break;
    case XCB_UNMAP_NOTIFY: {
        const xcb_window_t window = reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window;
        if (isTarget(window)) {
            Changed(ForegroundChange::Gone);
        } else if (coveredTitleBar(window)) {
            Changed(ForegroundChange::Moved);
        }
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const xcb_window_t window = reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window;
        if (isTarget(window)) {
            // A destroyed window has no mask left to give back.
            (window == client ? m_client : m_frame) = Watched{};
            Changed(ForegroundChange::Gone);
        } else if (coveredTitleBar(window)) {
            Changed(ForegroundChange::Moved);
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace sarvendo
