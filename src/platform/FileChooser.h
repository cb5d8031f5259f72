// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sarvendo {

// One entry of a file chooser's type list: "Sound files" with "*.wav".
struct FileFilter
{
    std::string description;
    std::string pattern;
};

// The desktop's chooser for a file to open, one shared dialog for every caller. It opens
// in the folder of initialFile with that file selected; a name with a wildcard ("*.wav")
// only picks the folder. Returns the chosen path, or nothing when the user cancelled.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    virtual std::optional<std::string> ChooseFileToOpen(const std::string& initialFile,
                                                        const std::vector<FileFilter>& filters) = 0;
};

} // namespace sarvendo
