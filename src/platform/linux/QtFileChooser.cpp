// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtFileChooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace sarvendo {

QtFileChooser::QtFileChooser() = default;
QtFileChooser::~QtFileChooser() = default;

std::optional<std::string> QtFileChooser::ChooseFileToOpen(const std::string& initialFile,
                                                           const std::vector<FileFilter>& filters)
{
    if (!m_dialog) {
        m_dialog = std::make_unique<QFileDialog>();
        m_dialog->setObjectName(QStringLiteral("OpenDialog"));
        m_dialog->setAcceptMode(QFileDialog::AcceptOpen);
        m_dialog->setFileMode(QFileDialog::ExistingFile);
    }
    QStringList nameFilters;
    for (const FileFilter& filter : filters) {
        nameFilters << QStringLiteral("%1 (%2)").arg(QString::fromStdString(filter.description),
                                                     QString::fromStdString(filter.pattern));
    }
    m_dialog->setNameFilters(nameFilters);

    const QFileInfo initial(QString::fromStdString(initialFile));
    if (!initialFile.empty()) {
        m_dialog->setDirectory(initial.absolutePath());
    }
    const QString name = initial.fileName();
    // A wildcard only names the folder's kind of files; it is not a file to select.
    m_dialog->selectFile(name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')) ? QString() : name);

    m_dialog->setParent(QApplication::activeModalWidget(), m_dialog->windowFlags());
    const int result = m_dialog->exec();
    m_dialog->setParent(nullptr, m_dialog->windowFlags());
    const QStringList chosen = m_dialog->selectedFiles();
    if (result != QDialog::Accepted || chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.front().toStdString();
}

} // namespace sarvendo
