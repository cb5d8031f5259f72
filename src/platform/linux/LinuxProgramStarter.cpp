// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxProgramStarter.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ; // NOLINT(readability-redundant-declaration)

namespace sarvendo {

bool LinuxProgramStarter::Start(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || arguments.front().empty()) {
        return false;
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str())); // posix_spawn's signature predates const
    }
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        return false;
    }
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGCHLD);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    sigset_t noneBlocked;
    sigemptyset(&noneBlocked);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &noneBlocked);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t child = 0;
    const int result = posix_spawnp(&child, argv.front(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        return false;
    }
    // Waiting for this one child only leaves every other child to whoever started it.
    std::thread([child] {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool LinuxProgramStarter::CanFind(const std::string& program) const
{
    const auto executable = [](const std::string& path) {
        struct stat info
        {
        };
        return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
    };
    if (program.empty()) {
        return false;
    }
    if (program.find('/') != std::string::npos) {
        return executable(program);
    }
    // The search path as posix_spawnp reads it; an empty entry means the current directory.
    const char* variable = std::getenv("PATH");
    const std::string_view path = variable != nullptr ? variable : "/bin:/usr/bin";
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string directory(path.substr(start, end - start));
        if (executable((directory.empty() ? std::string(".") : directory) + "/" + program)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

} // namespace sarvendo
