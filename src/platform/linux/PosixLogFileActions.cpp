// SPDX-License-Identifier: GPL-3.0-or-later
#include "PosixLogFileActions.h"

#include "platform/linux/GuardedPaths.h"

#include <unistd.h>

namespace sarvendo {

bool PosixLogFileActions::CanOpenForReading(const std::string& path) const
{
    // Only a regular file is a log to show, reached only through links the logs may follow;
    // a tty named by mistake is never opened.
    const RealFileCalls calls;
    return OpenGuarded(calls, path, FileAccess::Read, 0, 0).fd.Get() >= 0;
}

bool PosixLogFileActions::Remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

} // namespace sarvendo
