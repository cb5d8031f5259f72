// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace sarvendo {

// System-wide named markers that say "a copy of this program is running". A marker is
// held by a live process and disappears with it, however that process ends, so a copy
// that crashed or was killed never blocks later starts. Hold is one atomic step: of two
// copies starting at the same moment exactly one gets the marker.
class InstanceMarkers
{
public:
    virtual ~InstanceMarkers() = default;

    // Takes the marker for this process. False when another live process holds it (or
    // when it cannot be taken at all, which callers treat the same way).
    virtual bool Hold(const std::string& name) = 0;

    // Gives back a marker this process holds; does nothing for one it does not hold.
    virtual void Release(const std::string& name) = 0;
};

} // namespace sarvendo
