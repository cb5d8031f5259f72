// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace sarvendo {

// Finds the directory that holds Sarvendo's README, starting from the directory of the
// running executable: in an installation the documentation directory at the install
// layout's relative place from the program's directory, in a build tree the source tree
// that the build's CMakeCache.txt names. Empty when neither holds a README.md. Nothing of
// the machine that built the program is assumed, so a moved installation or a build
// tree that was never installed still finds its own.
QString FindDocumentationDirectory(const QString& programDirectory);

} // namespace sarvendo
