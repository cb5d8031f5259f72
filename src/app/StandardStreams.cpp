// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StandardStreams.h"

#include <cstdio>
#include <string>

namespace sarvendo {

namespace {

void Write(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace

void TellStandardError(std::string_view text)
{
    std::string line = "Sarvendo: ";
    line += text;
    line += '\n';
    Write(stderr, line);
}

void WriteStandardError(std::string_view text)
{
    Write(stderr, text);
}

void WriteStandardOutput(std::string_view text)
{
    Write(stdout, text);
}

} // namespace sarvendo
