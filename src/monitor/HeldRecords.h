// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sarvendo {

class LogFiles;

// Whether records that no place could take are tried again while they stay the same.
enum class KeepAttempt
{
    WhenChanged, // the ticks, which must not write to a failing disk over and over
    Always,      // the close routine's last chance
};

// Keeps the records one event log could not take yet in a side file, so that they
// survive the end of the program and reach the log at the next start. The side file lives
// in the first of its places that can be written and stays there while records are held,
// so no record is ever in two side files; it is replaced whole at every change and removed
// only once the log has every record. A file in one of the places that is not a set of
// held records Sarvendo can read is reported and never written over or removed: it may be
// the only copy of someone's records.
class HeldRecords
{
public:
    HeldRecords(LogFiles& files, std::string logPath, std::vector<std::string> places);

    // The records an earlier run kept, to be written before anything of this run; empty
    // when there are none or the log holds them where they were to go (the program ended
    // between writing them and removing the side file). What the user should know is added to
    // notes.
    std::string TakeOver(std::vector<std::string>& notes);

    // Keeps records, all those the log still waits for, in the side file. False when no
    // place could take them.
    bool Keep(std::string_view records, KeepAttempt attempt);

    // True when the side file holds exactly these records.
    bool Kept(std::string_view records) const { return m_home && m_kept == records; }

    // The log has every record now, so the side file goes. Returns what the user should
    // know when it cannot be removed; it is then replaced by the next records held.
    std::string Release();

    // The side file no longer tells the truth (part of its records reached the log) and
    // could not be brought up to date: it goes, so that nothing in it is written twice.
    void Withdraw();

    // The side file in use; empty while there is none.
    std::string Place() const { return m_home ? m_places[*m_home].path : std::string(); }

    // What a side file holds: the records, and where in the log they go (the log's size
    // when they were kept), which tells at the next start whether they reached it since.
    struct Contents
    {
        std::string records;
        std::uint64_t logOffset = 0;
    };

    // The text of a side file holding records, and what such a text holds; nothing, with
    // the reason in problem, for a text that is no intact side file.
    static std::string Encode(std::string_view records, std::uint64_t logOffset);
    static std::optional<Contents> Decode(std::string_view text, std::string& problem);

private:
    struct SidePlace
    {
        std::string path;
        bool untouchable = false; // holds something that is not ours to replace
    };

    LogFiles& m_files;
    std::string m_logPath;
    std::vector<SidePlace> m_places;
    std::optional<std::size_t> m_home;   // the place whose side file holds m_kept
    std::string m_kept;                  // the records in that side file
    std::optional<std::string> m_failed; // records that no place could take
};

} // namespace sarvendo
