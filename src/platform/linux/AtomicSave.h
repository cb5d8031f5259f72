// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/FileCalls.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace sarvendo {

// Writes all of text to fd, going on after a signal or a short write. Returns 0, or the
// errno that stopped it; written says how much reached the file either way.
int WriteAll(int fd, std::string_view text, std::size_t& written);

// How a file is replaced whole.
struct WholeFileSave
{
    mode_t newFileMode = 0666;  // the mode of a file made new, before the umask
    std::optional<mode_t> mode; // forced on the file whatever it had; else its mode is kept
    mode_t folderMode = 0777;   // missing folders are made with this, before the umask
};

// What a replacement did: empty problem on success.
struct WholeFileSaveResult
{
    std::string problem;   // why the file was left as it was, for the user
    bool readOnly = false; // it was left because its owner made it (or its folder) read-only
};

// The one way a file is replaced whole: the text goes into a temporary beside the file,
// reaches the disk, and is renamed over the file, and the rename reaches the disk too, so
// a crash leaves the old file or the new one, never a mixture. Links on the way are
// followed only as the guarded paths allow and the last file of a chain is replaced; a
// file of another kind in its place, or one made read-only, is left alone. Temporaries an
// interrupted save left behind are removed.
WholeFileSaveResult ReplaceWholeFile(const FileCalls& calls, const std::string& path, std::string_view text,
                                     const WholeFileSave& how);

} // namespace sarvendo
