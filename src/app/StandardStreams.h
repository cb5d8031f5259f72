// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace sarvendo {

// What the program says to whoever started it: notes on standard error, and the answers
// of the command-line modes on standard output. Written through C stdio, at once: the
// C++ standard streams would load and keep the library's locale machinery (some 400 KB
// resident, for the life of a program that mostly sits in the tray) for a few lines.

// "Sarvendo: TEXT" and a line break on standard error.
void TellStandardError(std::string_view text);
// TEXT as it is on standard error, or on standard output.
void WriteStandardError(std::string_view text);
void WriteStandardOutput(std::string_view text);

} // namespace sarvendo
