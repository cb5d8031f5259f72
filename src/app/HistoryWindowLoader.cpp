// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HistoryWindowLoader.h"

#include "platform/MessageBoxes.h"
#include "platform/linux/ModuleFile.h"

#include <cstring>
#include <dlfcn.h>

namespace sarvendo {

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
    std::string why;
    void* library = OpenModuleFile(m_modulePath, why);
    if (library == nullptr) {
        return "its module could not be loaded: " + why;
    }
    const auto build = ModuleFunction<SarvendoHistoryBuildFn>(library, kHistoryBuildSymbol);
    const auto create = ModuleFunction<SarvendoHistoryCreateFn>(library, kHistoryCreateSymbol);
    const auto show = ModuleFunction<SarvendoHistoryShowFn>(library, kHistoryShowSymbol);
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
