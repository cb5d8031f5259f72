// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <sys/types.h>

namespace sarvendo {

// A file is replaced whole by writing a temporary beside it and renaming that over it.
// The temporaries are named ".NAME.PID.COUNT.tmp", so that one a killed process left
// behind can be told from one a save still running is writing.

// Creates a new temporary for the file target in folder (O_EXCL, never through a link) with
// the given mode before the umask; its name in folder goes to name. Returns the
// descriptor, or -1 with errno set.
int CreateTemporaryIn(int folder, const std::string& target, mode_t mode, std::string& name);

// Removes the temporaries of target that killed saves left in folder: those whose process
// is gone, or that are too old to belong to a save still running.
void RemoveStaleTemporaries(int folder, const std::string& target);

} // namespace sarvendo
