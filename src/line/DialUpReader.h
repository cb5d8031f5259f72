// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "line/ByteCounts.h"
#include "platform/DialUpSource.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sarvendo {

class Directories;
struct Settings;

// The dial-up program's expected path: the system directory and the program's name.
std::string DialUpProgramPath(const Directories& directories);

// DialUpKind for start-up: 1 when the dial-up program is installed, else 0.
std::int32_t DetectDialUpKind(const DialUpSource& source, const Directories& directories);

// What one read of the dial-up connection found: its counts, whether a connection is
// known (which counts as carrier), and whether it was found in this very read, so that
// the poll cycle starts its counters from a clean base.
struct DialUpReading
{
    ByteCounts counts;
    bool connected = false;
    bool newConnection = false;
};

// Finds the dial-up connection and reads its counters each tick. It searches the
// process table and the connection windows while none is known (DialUpFound 0) and reads
// the known one's statistics block otherwise; a block address of 0 means the connection
// ended, which gives one tick of zeros before searching again. It holds at most one
// process handle, from its last successful search until the next search or CloseProcess.
class DialUpReader
{
public:
    DialUpReader(DialUpSource& source, const Directories& directories);

    // Updates DialUpFound and DialUpWindow; true when it found a connection just now.
    bool FindDialUpWindow(Settings& settings);

    // Sent, received and speed of the current connection, zeros when none is known. The
    // reader only reports: the poll cycle lights the carrier and resets its counters.
    DialUpReading ReadDialUpCounters(Settings& settings);

    // Closes the process handle (the close routine).
    void CloseProcess();

    bool HoldsProcess() const { return m_process != nullptr; }

private:
    DialUpSource& m_source;
    const Directories& m_directories;
    std::unique_ptr<DialUpSource::ProcessHandle> m_process;
};

} // namespace sarvendo
