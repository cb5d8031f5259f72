// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LogFileActions.h"

namespace sarvendo {

// The log files on the file system: open and close again for the reading check, unlink
// for the deletion.
class PosixLogFileActions final : public LogFileActions
{
public:
    bool CanOpenForReading(const std::string& path) const override;
    bool Remove(const std::string& path) override;
};

} // namespace sarvendo
