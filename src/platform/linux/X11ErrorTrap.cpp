// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11ErrorTrap.h"

#include <X11/Xlib.h>

namespace sarvendo {
namespace {

bool g_errorSeen = false;

int RecordError(Display* /*display*/, XErrorEvent* /*event*/)
{
    g_errorSeen = true;
    return 0;
}

} // namespace

X11ErrorTrap::X11ErrorTrap(_XDisplay* display)
    : m_display(display), m_previous(reinterpret_cast<AnyHandler>(XSetErrorHandler(RecordError)))
{
    g_errorSeen = false;
}

X11ErrorTrap::~X11ErrorTrap()
{
    // Errors of the requests still on their way must reach this trap, not the handler
    // that comes back.
    XSync(m_display, False);
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(m_previous));
}

bool X11ErrorTrap::Check()
{
    XSync(m_display, False);
    const bool seen = g_errorSeen;
    g_errorSeen = false;
    return seen;
}

} // namespace sarvendo
