// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program icon at the given sizes into an icon theme folder, as
// FOLDER/<size>x<size>/apps/NAME.png, so that the installed icons are drawn by the same
// code as the one the program shows.

#include "resources/Resources.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: sarvendo_icon_render FOLDER NAME SIZE...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int index = 3; index < argc; ++index) {
        char* end = nullptr;
        const long size = std::strtol(argv[index], &end, 10);
        const auto icon = (end != argv[index] && *end == '\0' && size > 0 && size <= sarvendo::kLargestProgramIcon)
                              ? sarvendo::LoadProgramIcon(static_cast<int>(size))
                              : std::nullopt;
        if (!icon) {
            std::fprintf(stderr, "sarvendo_icon_render: no icon of size %s\n", argv[index]);
            return 1;
        }
        const QString sizeFolder = folder + QStringLiteral("/%1x%1/apps").arg(size);
        const QString path = sizeFolder + QStringLiteral("/") + name + QStringLiteral(".png");
        if (!QDir().mkpath(sizeFolder) || !icon->save(path, "PNG")) {
            std::fprintf(stderr, "sarvendo_icon_render: cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
