// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileChooser.h"

#include <optional>
#include <string>
#include <vector>

namespace sarvendo::fakes {

// Notes each opening's initial file and filters and answers with `answer` (nothing: the
// user cancelled).
class FakeFileChooser final : public FileChooser
{
public:
    struct Opening
    {
        std::string initialFile;
        std::vector<FileFilter> filters;
    };

    std::optional<std::string> ChooseFileToOpen(const std::string& initialFile,
                                                const std::vector<FileFilter>& filters) override
    {
        openings.push_back({initialFile, filters});
        return answer;
    }

    std::vector<Opening> openings;
    std::optional<std::string> answer;
};

} // namespace sarvendo::fakes
