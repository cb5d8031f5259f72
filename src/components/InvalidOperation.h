// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace sarvendo {

// Thrown when a component is used in a way it forbids: created under the wrong owner, or
// changed from inside its own change notification. The text says what was wrong.
class InvalidOperation : public std::logic_error
{
public:
    explicit InvalidOperation(const std::string& message) : std::logic_error(message) {}
};

} // namespace sarvendo
