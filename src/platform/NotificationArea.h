// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>

namespace sarvendo {

// What the pointer did on the icon, in the terms the tray component understands.
enum class TrayMouseMessage
{
    MouseMove,
    LeftButtonDown,
    RightButtonDown,
    MiddleButtonDown,
    LeftButtonDoubleClick,
    RightButtonDoubleClick,
    MiddleButtonDoubleClick,
};

// The modifier keys and mouse buttons held down at the moment of asking.
struct ShiftState
{
    bool shift = false;
    bool alt = false;
    bool ctrl = false;
    bool left = false;
    bool right = false;
    bool middle = false;

    friend bool operator==(const ShiftState&, const ShiftState&) = default;
};

// One icon in the desktop's notification area. Add puts it there with a picture and a
// tool tip, Modify changes both while it is there (and does nothing while it is not),
// Delete takes it away. Whatever the user does with the pointer on the icon is reported
// through the message handler as mouse messages: a button-down or a double click is
// preceded by a MouseMove at the cursor, so the receiver always knows where it happened.
// Hosts that cannot tell where the icon sits report an empty geometry.
class NotificationArea
{
public:
    using MessageHandler = std::function<void(TrayMouseMessage)>;

    virtual ~NotificationArea() = default;

    virtual void SetMessageHandler(MessageHandler handler) = 0;

    virtual void Add(const QImage& picture, const QString& toolTip) = 0;
    virtual void Modify(const QImage& picture, const QString& toolTip) = 0;
    virtual void Delete() = 0;

    // The cursor in screen coordinates.
    virtual QPoint CursorPos() const = 0;
    // The icon's place on the screen; empty where the host does not say.
    virtual QRect IconGeometry() const = 0;
    virtual ShiftState CurrentShiftState() const = 0;

    // Asks for MouseMove reports while the cursor moves over the icon without clicking.
    // They cost a look at the cursor several times a second, so only a receiver that
    // handles pointer movement turns them on.
    virtual void SetHoverTracking(bool on) = 0;

    // Whether a tray host is there to show the icon. Without one an added icon waits,
    // unseen, until a host appears; the host handler hears of every arrival and departure
    // (of either kind of host) while the icon is added.
    virtual bool HostPresent() const = 0;
    virtual void SetHostHandler(std::function<void(bool present)> handler) = 0;
};

} // namespace sarvendo
