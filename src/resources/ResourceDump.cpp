// SPDX-License-Identifier: GPL-3.0-or-later
// Writes every picture of the program into a folder as PNG files, so that a change to the
// drawing code can be looked at before it is committed.

#include "resources/Resources.h"

#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sarvendo_resource_dump FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    int failures = 0;
    for (const std::string& name : sarvendo::ResourceNames()) {
        const auto image = sarvendo::LoadResourceImage(name);
        const QString path = folder + QStringLiteral("/") + QString::fromStdString(name) + QStringLiteral(".png");
        if (!image || !image->save(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
