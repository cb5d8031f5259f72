// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <string>

namespace sarvendo {

class InstanceMarkers;
class TopLevelWindows;

// Keeps a second copy of the program from running beside the first. When the main window
// has been loaded, Loaded takes the system-wide marker named "OnlyOne" plus the first 20
// characters of the application title. If another copy holds it, the running copy's
// window (found by the full title) is restored when minimised and otherwise brought to
// the top, and the caller learns that it must end; the running copy is told nothing
// else. The marker belongs to the process holding it, so it is gone once that copy ends
// in any way. With EnforceOnlyOne false the component does nothing at all.
class TOnlyOne : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool EnforceOnlyOne READ EnforceOnlyOne WRITE SetEnforceOnlyOne)

public:
    enum class Outcome
    {
        OnlyCopy,
        AnotherCopyRunning,
    };

    TOnlyOne(InstanceMarkers& markers, TopLevelWindows& windows, QObject* parent = nullptr);
    ~TOnlyOne() override;

    bool EnforceOnlyOne() const { return m_enforceOnlyOne; }
    void SetEnforceOnlyOne(bool enforce) { m_enforceOnlyOne = enforce; }

    Outcome Loaded(const std::string& applicationTitle);

    static std::string MarkerName(const std::string& applicationTitle);

private:
    InstanceMarkers& m_markers;
    TopLevelWindows& m_windows;
    bool m_enforceOnlyOne = true;
    std::string m_heldName; // empty while this copy holds no marker
};

} // namespace sarvendo
