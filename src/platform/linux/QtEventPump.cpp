// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtEventPump.h"

#include <QCoreApplication>

namespace sarvendo {

void QtEventPump::ProcessEvents()
{
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

} // namespace sarvendo
