// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UrlOpener.h"

namespace sarvendo {

class ProgramStarter;

// Opens targets with the desktop's "xdg-open", started with the target as its one
// argument. A target that begins with "-" would read as an option, so such a target is
// refused rather than handed over.
class XdgUrlOpener final : public UrlOpener
{
public:
    explicit XdgUrlOpener(ProgramStarter& programs) : m_programs(programs) {}

    bool Open(const std::string& target) override;

private:
    ProgramStarter& m_programs;
};

} // namespace sarvendo
