// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace sarvendo {

// Opens a document, folder or URL ("mailto:...", "file:///...") with the program the
// desktop associates with it. The target is handed over as one argument, never through
// a shell. Returns false when no opener could be started; what the opener then does is
// not reported back.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual bool Open(const std::string& target) = 0;
};

} // namespace sarvendo
