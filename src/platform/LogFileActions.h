// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace sarvendo {

// What the user may do to an event log from the setup dialog besides writing it: see
// whether it can be opened for reading, and delete it. Nothing stays open after a call,
// so a log looked at and then kept can be written again at once.
class LogFileActions
{
public:
    virtual ~LogFileActions() = default;
    virtual bool CanOpenForReading(const std::string& path) const = 0;
    // False when the file could not be deleted.
    virtual bool Remove(const std::string& path) = 0;
};

} // namespace sarvendo
