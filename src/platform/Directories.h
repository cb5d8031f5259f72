// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace sarvendo {

// Where the program's files live. The "Windows directory" holds SARVENDO.INI; the log
// directory holds the event logs; the program directory holds what ships beside the
// executable. Paths are plain text because the program builds file names by editing
// them as text.
class Directories
{
public:
    virtual ~Directories() = default;
    virtual std::string WindowsDirectory() const = 0;
    virtual std::string SystemDirectory() const = 0;
    virtual std::string ProgramFile() const = 0;
    virtual std::string ProgramDirectory() const = 0;
    virtual std::string LogDirectory() const = 0;
    virtual std::string SoundDirectory() const = 0;
};

} // namespace sarvendo
