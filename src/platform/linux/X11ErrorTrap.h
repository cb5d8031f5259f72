// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct _XDisplay;

namespace sarvendo {

// Catches the X errors of the Xlib requests made while it lives, instead of letting them
// end the program: another program's window can vanish between any two requests, and the
// requests about it then fail with BadWindow. The handler that was in place before comes
// back when the trap ends. GUI thread only; traps do not nest.
class X11ErrorTrap
{
public:
    explicit X11ErrorTrap(_XDisplay* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server to answer every request so far and tells whether any of them
    // failed since the trap was set or last checked.
    bool Check();

private:
    // Xlib's handler type needs its headers; any function pointer type holds it meanwhile.
    using AnyHandler = void (*)();
    _XDisplay* m_display;
    AnyHandler m_previous;
};

} // namespace sarvendo
