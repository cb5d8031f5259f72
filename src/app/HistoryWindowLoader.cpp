// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HistoryWindowLoader.h"

#include "platform/MessageBoxes.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>

namespace sarvendo {

namespace {

template <typename Function> Function Symbol(void* library, const char* name)
{
    return reinterpret_cast<Function>(::dlsym(library, name));
}

} // namespace

HistoryWindowLoader::HistoryWindowLoader(std::string modulePath, MessageBoxes& boxes)
    : m_modulePath(std::move(modulePath)), m_boxes(boxes)
{
}

// The window goes before the program's parts it works on; the module stays loaded until
// the process ends, since Qt may still hold pointers into it (its meta-objects).
HistoryWindowLoader::~HistoryWindowLoader() = default;

void HistoryWindowLoader::Show(const HistoryWindowParts& parts)
{
    if (!m_window) {
        if (const std::optional<std::string> failure = Load()) {
            m_boxes.Show("The history window cannot be shown: " + *failure + ".", MessageButtons::Ok,
                         MessageIcon::Error);
            return;
        }
        m_window.reset(m_create(&parts));
    }
    m_show(m_window.get());
}

std::optional<std::string> HistoryWindowLoader::Load()
{
    if (m_library != nullptr) {
        return std::nullopt;
    }
    // A name without a directory would be searched for along the library path.
    if (m_modulePath.empty() || m_modulePath.front() != '/') {
        return "its module's path is not absolute: " + m_modulePath;
    }
    struct stat status
    {
    };
    if (::stat(m_modulePath.c_str(), &status) != 0) {
        return "its module " + m_modulePath + " is missing (" + std::strerror(errno) + ")";
    }
    // Loading a FIFO would wait for a writer for ever.
    if (!S_ISREG(status.st_mode)) {
        return "its module " + m_modulePath + " is not a regular file";
    }
    void* library = ::dlopen(m_modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        return "its module could not be loaded (" + std::string(why != nullptr ? why : m_modulePath) + ")";
    }
    const auto build = Symbol<SarvendoHistoryBuildFn>(library, kHistoryBuildSymbol);
    const auto create = Symbol<SarvendoHistoryCreateFn>(library, kHistoryCreateSymbol);
    const auto show = Symbol<SarvendoHistoryShowFn>(library, kHistoryShowSymbol);
    if (build == nullptr || create == nullptr || show == nullptr || std::strcmp(build(), kHistoryModuleBuild) != 0) {
        ::dlclose(library);
        return "its module " + m_modulePath + " belongs to another build of Sarvendo";
    }
    m_library = library;
    m_create = create;
    m_show = show;
    return std::nullopt;
}

} // namespace sarvendo
