#pragma once

#include "platform/LogFiles.h"

#include <map>
#include <set>
#include <string>

namespace sarvendo::fakes {

// Log files held in memory. A path in failing makes every append to it fail, leaving the
// content untouched, as the real files do on a full disk.
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

    std::string Append(const std::string& path, std::string_view text) override
    {
        ++appends;
        if (failing.contains(path)) {
            return "No space left on device";
        }
        files[path] += text;
        return {};
    }

    std::map<std::string, std::string> files;
    std::set<std::string> failing;
    int appends = 0;
    int lastLineReads = 0;
};

} // namespace sarvendo::fakes
