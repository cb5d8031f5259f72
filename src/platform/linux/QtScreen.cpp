// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtScreen.h"

#include <QGuiApplication>
#include <QScreen>

namespace sarvendo {

ScreenSize QtScreen::PrimaryScreenSize() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {640, 480};
    }
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
}

} // namespace sarvendo
