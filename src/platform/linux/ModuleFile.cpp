// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/ModuleFile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace sarvendo {

void* OpenModuleFile(const std::string& path, std::string& why)
{
    if (path.empty() || path.front() != '/') {
        why = "the path " + path + " is not absolute";
        return nullptr;
    }
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) != 0) {
        why = path + " is missing (" + std::strerror(errno) + ")";
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        why = path + " is not a regular file";
        return nullptr;
    }
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = ::dlerror();
        why = error != nullptr ? std::string(error) : path + " could not be loaded";
    }
    return library;
}

} // namespace sarvendo
