#include "QtMessageBoxes.h"

#include <QMessageBox>
#include <QString>

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

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget* owner) : m_owner(owner) {}

void QtMessageBoxes::SetOwner(QWidget* owner)
{
    m_owner = owner;
}

MessageResult QtMessageBoxes::Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                                   MessageStacking stacking)
{
    QMessageBox box(ToQt(icon), FromUtf8(kMessageBoxTitle), FromUtf8(text), ToQt(buttons), m_owner.data());
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
