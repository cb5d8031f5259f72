// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileChooser.h"

#include <memory>

class QFileDialog;

namespace sarvendo {

// The chooser for a file to open as one QFileDialog, made at its first use and kept,
// shown modally over whatever modal window is up (the setup dialog).
class QtFileChooser final : public FileChooser
{
public:
    QtFileChooser();
    ~QtFileChooser() override;

    std::optional<std::string> ChooseFileToOpen(const std::string& initialFile,
                                                const std::vector<FileFilter>& filters) override;

private:
    std::unique_ptr<QFileDialog> m_dialog;
};

} // namespace sarvendo
