// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtColourChooser.h"

#include <QApplication>
#include <QColorDialog>

namespace sarvendo {
namespace {

QColor FromColourRef(std::uint32_t colour)
{
    return QColor(static_cast<int>(colour & 0xFFU), static_cast<int>((colour >> 8U) & 0xFFU),
                  static_cast<int>((colour >> 16U) & 0xFFU));
}

std::uint32_t ToColourRef(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red()) | (static_cast<std::uint32_t>(colour.green()) << 8U) |
           (static_cast<std::uint32_t>(colour.blue()) << 16U);
}

} // namespace

QtColourChooser::QtColourChooser() = default;
QtColourChooser::~QtColourChooser() = default;

std::optional<std::uint32_t> QtColourChooser::ChooseColour(std::uint32_t initial)
{
    if (!m_dialog) {
        m_dialog = std::make_unique<QColorDialog>();
        m_dialog->setObjectName(QStringLiteral("ColorDialog"));
    }
    // Over the modal window that asked, so it stays in front of it and is centred on it.
    m_dialog->setParent(QApplication::activeModalWidget(), m_dialog->windowFlags());
    m_dialog->setCurrentColor(FromColourRef(initial));
    const int result = m_dialog->exec();
    m_dialog->setParent(nullptr, m_dialog->windowFlags());
    if (result != QDialog::Accepted) {
        return std::nullopt;
    }
    return ToColourRef(m_dialog->selectedColor());
}

} // namespace sarvendo
