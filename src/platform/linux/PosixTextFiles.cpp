// SPDX-License-Identifier: GPL-3.0-or-later
#include "PosixTextFiles.h"

#include "platform/linux/AtomicSave.h"
#include "platform/linux/GuardedPaths.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace sarvendo {
namespace {

// More than any settings file a person writes; a huge file in its place ends the read here
// rather than exhausting memory.
constexpr std::size_t kMaxTextFileSize = 1024 * 1024;

constexpr std::string_view kTooLarge = "it is larger than 1 MiB, more than any settings file";

} // namespace

TextFileContent PosixTextFiles::Read(const std::string& path) const
{
    using Status = TextFileContent::Status;
    const GuardedFile file = OpenGuarded(m_calls, path, FileAccess::Read, 0, 0);
    if (file.fd.Get() < 0) {
        if (file.place.Missing()) {
            return {};
        }
        return {Status::Unreadable, {}, file.place.problem, {}};
    }
    if (static_cast<std::size_t>(file.place.status.st_size) > kMaxTextFileSize) {
        return {Status::Unreadable, {}, std::string(kTooLarge), {}};
    }
    std::string content;
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(file.fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return {Status::Unreadable, {}, std::strerror(errno), {}};
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
        // The file may grow while it is read.
        if (content.size() > kMaxTextFileSize) {
            return {Status::Unreadable, {}, std::string(kTooLarge), {}};
        }
    }
    return {Status::Read, std::move(content), {}, ReadOnlyReason(m_calls, file.place)};
}

TextFileSave PosixTextFiles::Replace(const std::string& path, std::string_view text) const
{
    WholeFileSaveResult result = ReplaceWholeFile(m_calls, path, text, WholeFileSave{});
    return {std::move(result.problem), result.readOnly};
}

} // namespace sarvendo
