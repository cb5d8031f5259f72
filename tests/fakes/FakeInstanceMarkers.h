// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/InstanceMarkers.h"

#include <map>
#include <memory>
#include <string>

namespace sarvendo::fakes {

// Markers of several simulated processes: every FakeInstanceMarkers made from the same
// Registry is one process, and a marker is held by at most one of them. Kill drops all
// of a process's markers at once, the way the system does when a process dies.
class FakeInstanceMarkers final : public InstanceMarkers
{
public:
    using Registry = std::map<std::string, const FakeInstanceMarkers*>;

    explicit FakeInstanceMarkers(std::shared_ptr<Registry> registry = std::make_shared<Registry>())
        : m_registry(std::move(registry))
    {
    }
    ~FakeInstanceMarkers() override { Kill(); }
    FakeInstanceMarkers(const FakeInstanceMarkers&) = delete;
    FakeInstanceMarkers& operator=(const FakeInstanceMarkers&) = delete;

    bool Hold(const std::string& name) override
    {
        const auto [found, added] = m_registry->emplace(name, this);
        return added || found->second == this;
    }

    void Release(const std::string& name) override
    {
        if (const auto found = m_registry->find(name); found != m_registry->end() && found->second == this) {
            m_registry->erase(found);
        }
    }

    void Kill()
    {
        std::erase_if(*m_registry, [this](const auto& entry) { return entry.second == this; });
    }

    const std::shared_ptr<Registry>& SharedRegistry() const { return m_registry; }

private:
    std::shared_ptr<Registry> m_registry;
};

} // namespace sarvendo::fakes
