// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LogFiles.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace sarvendo::fakes {

// Log files and their side files held in memory, in one map as on one disk. A path in
// failing makes every append, replacement and removal of it fail, leaving the content
// untouched, as the real files do on a full disk; keptOnFailure leaves that many bytes of
// the next failing append behind, as a roll-back that fails does. A path in unreadable cannot be
// read as a side file.
class FakeLogFiles final : public LogFiles
{
public:
    std::optional<std::size_t> LastLineLength(const std::string& path) override
    {
        ++lastLineReads;
        const auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        std::string_view text = found->second;
        if (text.ends_with("\r\n")) {
            text.remove_suffix(2);
        } else if (text.ends_with('\n') || text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        const std::size_t end = text.find_last_of("\r\n");
        return end == std::string_view::npos ? text.size() : text.size() - end - 1;
    }

    AppendResult Append(const std::string& path, std::string_view text) override
    {
        ++appends;
        if (failing.contains(path)) {
            const auto kept = keptOnFailure.find(path);
            std::size_t count = 0;
            if (kept != keptOnFailure.end()) {
                count = std::min(kept->second, text.size());
                keptOnFailure.erase(kept);
            }
            if (count > 0) {
                files[path] += text.substr(0, count);
            }
            return {"No space left on device", count};
        }
        files[path] += text;
        return {{}, text.size()};
    }

    std::optional<std::uint64_t> SizeOf(const std::string& path) override
    {
        const auto found = files.find(path);
        return found == files.end() ? std::nullopt : std::optional<std::uint64_t>(found->second.size());
    }

    bool HoldsAt(const std::string& path, std::uint64_t offset, std::string_view text) override
    {
        const auto found = files.find(path);
        return found != files.end() && found->second.size() >= offset &&
               std::string_view(found->second).substr(offset).starts_with(text);
    }

    SideFileContent ReadSideFile(const std::string& path) override
    {
        if (unreadable.contains(path)) {
            return {SideFileContent::Status::Unreadable, {}, "Permission denied"};
        }
        const auto found = files.find(path);
        if (found == files.end()) {
            return {};
        }
        return {SideFileContent::Status::Read, found->second, {}};
    }

    std::string ReplaceSideFile(const std::string& path, std::string_view text) override
    {
        ++sideFileWrites;
        if (failing.contains(path) || noRoom.contains(path)) {
            return "Read-only file system";
        }
        files[path] = text;
        return {};
    }

    std::string RemoveSideFile(const std::string& path) override
    {
        if (failing.contains(path)) {
            return "Read-only file system";
        }
        files.erase(path);
        return {};
    }

    std::map<std::string, std::string> files;
    std::set<std::string> failing;
    std::set<std::string> unreadable;
    std::set<std::string> noRoom; // side files that cannot be made anew, though they can be removed
    std::map<std::string, std::size_t> keptOnFailure;
    int appends = 0;
    int lastLineReads = 0;
    int sideFileWrites = 0;
};

} // namespace sarvendo::fakes
