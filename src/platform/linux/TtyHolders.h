#pragma once

#include "platform/linux/SystemCalls.h"

#include <string>

namespace sarvendo {

// Whether a process other than this one holds a tty: one of its descriptors points at
// the same device number (/proc/PID/fd, as far as this user may look), or a UUCP lock
// file (/run/lock or /var/lock, "LCK..ttyS0") names a live process. The lock file is
// what reveals a root pppd run with its "lock" option, whose descriptors an ordinary
// user cannot see.
bool HeldByAnotherProcess(SystemCalls& system, const std::string& device);
bool LockedByAnotherProcess(SystemCalls& system, const std::string& device);

} // namespace sarvendo
