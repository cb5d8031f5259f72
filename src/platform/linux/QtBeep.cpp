// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtBeep.h"

#include <QApplication>

namespace sarvendo {

void QtBeep()
{
    QApplication::beep();
}

} // namespace sarvendo
