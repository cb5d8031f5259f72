// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11TopLevelWindows.h"

#include "platform/linux/X11Properties.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <vector>

namespace sarvendo {
namespace {

int IgnoreXError(Display* /*display*/, XErrorEvent* /*event*/)
{
    return 0;
}

} // namespace

X11TopLevelWindows::X11TopLevelWindows() = default;

// The connection is made when a window is first looked for, which happens only when
// another copy of the program is running: a program that runs alone never pays for a
// second connection to the X server.
bool X11TopLevelWindows::Connected()
{
    if (!m_tried) {
        m_tried = true;
        m_display = XOpenDisplay(nullptr);
        if (m_display != nullptr) {
            XSetErrorHandler(IgnoreXError);
        }
    }
    return m_display != nullptr;
}

X11TopLevelWindows::~X11TopLevelWindows()
{
    if (m_display != nullptr) {
        XCloseDisplay(m_display);
    }
}

std::string X11TopLevelWindows::Title(unsigned long window)
{
    const Atom netWmName = XInternAtom(m_display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
    std::string title = TextProperty(m_display, window, netWmName, utf8);
    if (!title.empty()) {
        return title;
    }
    char* name = nullptr;
    if (XFetchName(m_display, window, &name) != 0 && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

std::optional<WindowId> X11TopLevelWindows::FindByTitle(const std::string& title)
{
    if (!Connected()) {
        return std::nullopt;
    }
    const Window root = DefaultRootWindow(m_display);
    std::vector<unsigned long> windows =
        LongProperty(m_display, root, XInternAtom(m_display, "_NET_CLIENT_LIST", False), XA_WINDOW);
    if (windows.empty()) {
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(m_display, root, &rootReturn, &parent, &children, &count) != 0 && children != nullptr) {
            // Without a window manager only mapped windows count: toolkits leave unmapped
            // helper windows around that carry the application's name.
            for (unsigned int i = 0; i < count; ++i) {
                XWindowAttributes attributes{};
                if (XGetWindowAttributes(m_display, children[i], &attributes) != 0 &&
                    attributes.map_state == IsViewable) {
                    windows.push_back(children[i]);
                }
            }
            XFree(children);
        }
    }
    for (const unsigned long window : windows) {
        if (Title(window) == title) {
            return window;
        }
    }
    return std::nullopt;
}

bool X11TopLevelWindows::IsMinimised(WindowId window)
{
    if (!Connected()) {
        return false;
    }
    const Atom hidden = XInternAtom(m_display, "_NET_WM_STATE_HIDDEN", False);
    for (const unsigned long state :
         LongProperty(m_display, window, XInternAtom(m_display, "_NET_WM_STATE", False), XA_ATOM)) {
        if (state == hidden) {
            return true;
        }
    }
    const Atom wmState = XInternAtom(m_display, "WM_STATE", False);
    const std::vector<unsigned long> icccm = LongProperty(m_display, window, wmState, wmState);
    return !icccm.empty() && icccm.front() == IconicState;
}

void X11TopLevelWindows::Activate(unsigned long window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // from a pager-like tool, which window managers honour without focus stealing checks
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, DefaultRootWindow(m_display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

void X11TopLevelWindows::Restore(WindowId window)
{
    if (!Connected()) {
        return;
    }
    XMapRaised(m_display, window);
    Activate(window);
    XFlush(m_display);
}

void X11TopLevelWindows::BringToTop(WindowId window)
{
    if (!Connected()) {
        return;
    }
    XRaiseWindow(m_display, window);
    Activate(window);
    XFlush(m_display);
}

} // namespace sarvendo
