// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace sarvendo {

class Clock;
class HistoryRecorder;
class MessageBoxes;
class TextFiles;
struct DateTimeFormats;
struct Settings;

// What the history window works on, all owned by the program and living longer than
// the window.
struct HistoryWindowParts
{
    Settings& settings;
    HistoryRecorder& recorder;
    const TextFiles& files;
    std::string iniPath;
    MessageBoxes& boxes;
    const Clock& clock;
    const DateTimeFormats& formats;
};

} // namespace sarvendo
