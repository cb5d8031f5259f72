// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBoxes.h"

#include <QPointer>

class QWidget;

namespace sarvendo {

// Message boxes as QMessageBox, titled "Sarvendo for Windows 95" and owned by the main
// window, or by the modal dialog open at the time. Show runs the box's own event loop,
// in which the poll timer keeps ticking.
class QtMessageBoxes final : public MessageBoxes
{
public:
    // The owner may be set later, once the main window exists; until then boxes have none.
    explicit QtMessageBoxes(QWidget* owner = nullptr);

    void SetOwner(QWidget* owner);

    MessageResult Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                       MessageStacking stacking = MessageStacking::Normal) override;

private:
    QWidget* Owner() const;

    QPointer<QWidget> m_owner;
};

} // namespace sarvendo
