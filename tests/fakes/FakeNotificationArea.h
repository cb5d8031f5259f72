// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NotificationArea.h"

#include <string>
#include <vector>

namespace sarvendo::fakes {

// A notification area the test looks into and clicks on: it keeps the icon's picture and
// tool tip, records every call by name, and delivers the mouse messages the test sends
// with the cursor and keys the test has set.
class FakeNotificationArea final : public NotificationArea
{
public:
    void SetMessageHandler(MessageHandler handler) override { m_handler = std::move(handler); }
    void Add(const QImage& icon, const QString& tip) override
    {
        calls.emplace_back("Add");
        shown = true;
        picture = icon;
        toolTip = tip;
    }
    void Modify(const QImage& icon, const QString& tip) override
    {
        calls.emplace_back("Modify");
        if (shown) {
            picture = icon;
            toolTip = tip;
        }
    }
    void Delete() override
    {
        calls.emplace_back("Delete");
        shown = false;
    }
    QPoint CursorPos() const override { return cursor; }
    QRect IconGeometry() const override { return geometry; }
    ShiftState CurrentShiftState() const override { return shiftState; }
    void SetHoverTracking(bool on) override { hoverTracking = on; }
    bool HostPresent() const override { return hostPresent; }
    void SetHostHandler(std::function<void(bool)> handler) override { m_hostHandler = std::move(handler); }
    // A tray host starting or ending.
    void SetHost(bool present)
    {
        hostPresent = present;
        if (m_hostHandler) {
            m_hostHandler(present);
        }
    }

    // What the tray host would deliver for a user's gesture.
    void Send(TrayMouseMessage message)
    {
        if (m_handler) {
            m_handler(message);
        }
    }
    // A button-down or double click, preceded by the move to the cursor.
    void Press(TrayMouseMessage message)
    {
        Send(TrayMouseMessage::MouseMove);
        Send(message);
    }
    void MoveTo(QPoint position)
    {
        cursor = position;
        Send(TrayMouseMessage::MouseMove);
    }
    int Count(const std::string& call) const
    {
        int count = 0;
        for (const std::string& recorded : calls) {
            count += recorded == call ? 1 : 0;
        }
        return count;
    }

    bool shown = false;
    QImage picture;
    QString toolTip;
    QPoint cursor{800, 590};
    QRect geometry;
    ShiftState shiftState;
    bool hoverTracking = false;
    bool hostPresent = true;
    std::vector<std::string> calls;

private:
    MessageHandler m_handler;
    std::function<void(bool)> m_hostHandler;
};

} // namespace sarvendo::fakes
