// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <string>

namespace sarvendo {
namespace {

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::AbortRetry:
        return QMessageBox::Abort | QMessageBox::Retry;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The program's texts break lines the old way, with carriage returns (alone or before a
// line feed); Qt breaks a plain-text box only at line feeds, so the breaks are converted
// here, at the box, and the texts stay as they are everywhere else.
QString BoxText(std::string_view text)
{
    std::string converted;
    converted.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            converted += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            converted += text[i];
        }
    }
    return FromUtf8(converted);
}

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget* owner) : m_owner(owner) {}

QWidget* QtMessageBoxes::Owner() const
{
    // A box asked for while a modal dialog is open (the setup dialog, a chooser) belongs
    // to that dialog, so it is placed over it and stacked above it. Another box is no
    // owner: it may be closed under a box it owned, which would hide that box too.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && qobject_cast<QMessageBox*>(modal) == nullptr) {
        return modal;
    }
    return m_owner.data();
}

void QtMessageBoxes::SetOwner(QWidget* owner)
{
    m_owner = owner;
}

MessageResult QtMessageBoxes::Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                                   MessageStacking stacking)
{
    QMessageBox box(ToQt(icon), FromUtf8(kMessageBoxTitle), BoxText(text), ToQt(buttons), Owner());
    // A path or a notification in the text is shown as written, never read as markup.
    box.setTextFormat(Qt::PlainText);
    if (stacking == MessageStacking::Topmost) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageResult::Yes;
    case QMessageBox::No:
        return MessageResult::No;
    case QMessageBox::Cancel:
        return MessageResult::Cancel;
    case QMessageBox::Ok:
        return MessageResult::Ok;
    case QMessageBox::Abort:
        return MessageResult::Abort;
    case QMessageBox::Retry:
        return MessageResult::Retry;
    default:
        break;
    }
    // Closed by the window manager without a button: the answer that does nothing.
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageResult::Ok;
    case MessageButtons::YesNo:
        return MessageResult::No;
    case MessageButtons::AbortRetry:
        return MessageResult::Abort;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
        break;
    }
    return MessageResult::Cancel;
}

} // namespace sarvendo
