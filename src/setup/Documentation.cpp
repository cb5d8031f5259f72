// SPDX-License-Identifier: GPL-3.0-or-later
#include "Documentation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sarvendo {
namespace {

const QString kReadme = QStringLiteral("README.md");

bool HoldsReadme(const QString& directory)
{
    return !directory.isEmpty() && QFileInfo(QDir(directory).filePath(kReadme)).isFile();
}

// The source tree of the build tree the program was built in: the program lies in the
// build's bin/, whose parent holds CMakeCache.txt with the source directory.
QString SourceTreeOfBuild(const QString& programDirectory)
{
    QFile cache(QDir(programDirectory).filePath(QStringLiteral("../CMakeCache.txt")));
    constexpr qint64 kLargestCache = 4 * 1024 * 1024;
    if (cache.size() > kLargestCache || !cache.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    const QByteArray key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    while (!cache.atEnd()) {
        const QByteArray line = cache.readLine(8192).trimmed();
        if (line.startsWith(key)) {
            return QString::fromLocal8Bit(line.mid(key.size()));
        }
    }
    return {};
}

} // namespace

QString FindDocumentationDirectory(const QString& programDirectory)
{
    const QString installed =
        QDir::cleanPath(QDir(programDirectory).filePath(QStringLiteral(SARVENDO_DOC_FROM_PROGRAM)));
    if (HoldsReadme(installed)) {
        return installed;
    }
    const QString source = SourceTreeOfBuild(programDirectory);
    if (HoldsReadme(source)) {
        return QDir::cleanPath(source);
    }
    return {};
}

} // namespace sarvendo
