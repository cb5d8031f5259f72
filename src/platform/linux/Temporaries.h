#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace sarvendo {

// A file is replaced whole by writing a temporary beside it and renaming that over it.
// The temporaries are named ".NAME.PID.COUNT.tmp", so that one a killed process left
// behind can be told from one a save still running is writing.

// Creates a new temporary beside target (O_EXCL, close-on-exec) with the given mode before
// the umask; its path goes to name. Returns the descriptor, or -1 with errno set.
int CreateTemporaryBeside(const std::filesystem::path& target, mode_t mode, std::string& name);

// Removes the temporaries of target that killed saves left in directory: those whose
// process is gone, or that are too old to belong to a save still running.
void RemoveStaleTemporaries(const std::filesystem::path& directory, const std::filesystem::path& target);

} // namespace sarvendo
