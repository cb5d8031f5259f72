// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TextFiles.h"
#include "platform/linux/FileCalls.h"

namespace sarvendo {

// The settings file on a POSIX file system, replaced through the one whole-file save.
class PosixTextFiles final : public TextFiles
{
public:
    PosixTextFiles() : m_calls(m_ownCalls) {}
    // For tests that play the kernel's answers.
    explicit PosixTextFiles(const FileCalls& calls) : m_calls(calls) {}

    TextFileContent Read(const std::string& path) const override;
    TextFileSave Replace(const std::string& path, std::string_view text) const override;

private:
    RealFileCalls m_ownCalls;
    const FileCalls& m_calls;
};

} // namespace sarvendo
