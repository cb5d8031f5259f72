// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/SystemCalls.h"

#include <cstdint>
#include <string>

namespace sarvendo {

// A UUCP lock on a tty for as long as the program talks to the modem itself:
// "LCK..ttyS0" in the system's lock directory, holding this process's id as ten
// right-aligned digits and a line end. It is written whole under a name of its own
// ("LTMP.<pid>") and linked to "LCK..ttyS0", so of two programs that try at once only one
// gets it and nobody reads it half-written. A live lock, under the kernel's name of the
// tty or the configured one, means the port is busy. A lock whose process has gone is
// stale: it is moved aside in one rename ("LSTALE.<pid>") and removed only when what was
// moved is the very file that was read; another dialer's lock, made in between, is put
// back. Lock files are never read through a link. Dialers and gettys that honour the
// convention then keep off the line, and so do we while they have it. The lock goes with
// the object.
class UucpLock
{
public:
    enum class Result
    {
        Taken,
        Busy,        // another live process holds a lock (Owner), or a lock names no process
        Unavailable, // no lock can be made here (no lock directory, no right to write in it)
    };

    explicit UucpLock(SystemCalls& system);
    ~UucpLock();
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;

    Result Take(const std::string& device);
    void Release();

    // After Busy: the live owner, or 0 for a lock file that names no process.
    std::int64_t Owner() const { return m_owner; }
    // After Busy or Unavailable: the lock file's path and what stood in the way.
    const std::string& Why() const { return m_why; }
    const std::string& Path() const { return m_path; }

private:
    Result Claim(const std::string& path, const std::string& draft, const std::string& aside);

    SystemCalls& m_system;
    std::string m_path; // set while the lock is ours
    std::int64_t m_owner = 0;
    std::string m_why;
};

} // namespace sarvendo
