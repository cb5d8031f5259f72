#include "PosixLogFileActions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {

bool PosixLogFileActions::CanOpenForReading(const std::string& path) const
{
    // Only a regular file is a log to show; opening a tty named by mistake would raise its DTR.
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return false;
    }
    ::close(descriptor);
    return true;
}

bool PosixLogFileActions::Remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

} // namespace sarvendo
