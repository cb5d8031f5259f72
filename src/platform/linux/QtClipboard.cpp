// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace sarvendo {

void QtClipboard::SetText(const std::string& text)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

} // namespace sarvendo
