// SPDX-License-Identifier: GPL-3.0-or-later
#include "TOnlyOne.h"

#include "platform/InstanceMarkers.h"
#include "platform/TopLevelWindows.h"

namespace sarvendo {

namespace {
constexpr std::size_t kTitleCharactersInName = 20;
}

TOnlyOne::TOnlyOne(InstanceMarkers& markers, TopLevelWindows& windows, QObject* parent)
    : QObject(parent), m_markers(markers), m_windows(windows)
{
    setObjectName(QStringLiteral("OnlyOne"));
}

TOnlyOne::~TOnlyOne()
{
    if (!m_heldName.empty()) {
        m_markers.Release(m_heldName);
    }
}

std::string TOnlyOne::MarkerName(const std::string& applicationTitle)
{
    return "OnlyOne" + applicationTitle.substr(0, kTitleCharactersInName);
}

TOnlyOne::Outcome TOnlyOne::Loaded(const std::string& applicationTitle)
{
    if (!m_enforceOnlyOne) {
        return Outcome::OnlyCopy;
    }
    const std::string name = MarkerName(applicationTitle);
    if (m_markers.Hold(name)) {
        m_heldName = name;
        return Outcome::OnlyCopy;
    }
    // This copy has no window yet, so the search cannot find itself.
    if (const auto window = m_windows.FindByTitle(applicationTitle)) {
        if (m_windows.IsMinimised(*window)) {
            m_windows.Restore(*window);
        } else {
            m_windows.BringToTop(*window);
        }
    }
    return Outcome::AnotherCopyRunning;
}

} // namespace sarvendo
