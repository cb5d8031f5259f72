#include "PosixLogFileActions.h"

#include <fcntl.h>
#include <unistd.h>

namespace sarvendo {

bool PosixLogFileActions::CanOpenForReading(const std::string& path) const
{
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
