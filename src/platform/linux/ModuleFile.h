// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <dlfcn.h>
#include <string>

namespace sarvendo {

// Loads one of the program's own modules (the history window's, the sound's) by its
// absolute path: never a bare name, which would be searched for along the library path
// where another file of that name may lie, and only a regular file, since loading a FIFO
// would wait for a writer for ever. Returns the handle, or null with the reason in why.
void* OpenModuleFile(const std::string& path, std::string& why);

// A function of a loaded module, or null; the one way from dlsym's object pointer to a
// function pointer.
template <typename Function> Function ModuleFunction(void* library, const char* name)
{
    return reinterpret_cast<Function>(::dlsym(library, name));
}

} // namespace sarvendo
