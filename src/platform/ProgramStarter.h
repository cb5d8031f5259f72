// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace sarvendo {

// Starts other programs. The program and its arguments are passed as a vector and
// handed to the system as they are, never through a shell, so no text a user or another
// program supplies can run anything but the named program. Start does not wait for the
// program; it returns false when the program could not be started at all.
class ProgramStarter
{
public:
    virtual ~ProgramStarter() = default;
    virtual bool Start(const std::vector<std::string>& arguments) = 0;

    // Whether Start would find a program of this name: a name with a slash names a file,
    // any other is looked up on the search path, as Start looks it up.
    virtual bool CanFind(const std::string& program) const = 0;
};

} // namespace sarvendo
