#include "UucpLock.h"

#include "platform/linux/TtyHolders.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace sarvendo {
namespace {

constexpr std::size_t kLockFileMax = 64;

} // namespace

UucpLock::UucpLock(SystemCalls& system) : m_system(system) {}

UucpLock::~UucpLock()
{
    Release();
}

void UucpLock::Release()
{
    if (!m_path.empty()) {
        // Only our own lock is removed: should someone have broken it and taken the port,
        // theirs stays.
        const auto content = m_system.ReadFile(m_path, kLockFileMax);
        const auto owner = content ? ParseLockOwner(*content) : std::nullopt;
        if (owner && *owner == m_system.OwnProcessId()) {
            m_system.RemoveFile(m_path);
        }
    }
    m_path.clear();
}

UucpLock::Result UucpLock::Take(const std::string& device)
{
    Release();
    m_owner = 0;
    m_why.clear();
    if (const auto owner = LockOwner(m_system, device)) {
        m_owner = *owner;
        m_why = "a UUCP lock file names process " + std::to_string(*owner);
        return Result::Busy;
    }
    std::string directory;
    for (const char* candidate : {"/run/lock", "/var/lock"}) {
        if (m_system.Exists(candidate)) {
            directory = candidate;
            break;
        }
    }
    if (directory.empty()) {
        m_why = "there is no lock directory (/run/lock or /var/lock)";
        return Result::Unavailable;
    }
    const std::string path = directory + "/LCK.." + KernelTtyName(m_system, device);
    char content[32];
    std::snprintf(content, sizeof content, "%10lld\n", static_cast<long long>(m_system.OwnProcessId()));
    // Two rounds: a stale lock removed in the first leaves the way free for the second.
    for (int round = 0; round < 2; ++round) {
        const int made = m_system.CreateExclusive(path, content);
        if (made == 0) {
            m_path = path;
            return Result::Taken;
        }
        if (made != -EEXIST) {
            m_why = "cannot make " + path + ": " + std::strerror(-made);
            return Result::Unavailable;
        }
        const auto before = m_system.StatusOf(path);
        const auto existing = m_system.ReadFile(path, kLockFileMax);
        if (!existing || !before) {
            continue; // its owner removed it just now
        }
        const auto owner = ParseLockOwner(*existing);
        if (!owner) {
            // Perhaps being written this very moment; in any case not ours to remove.
            m_why = path + " names no process";
            return Result::Busy;
        }
        if (*owner == m_system.OwnProcessId()) {
            m_owner = *owner;
            m_why = "this program is talking to the modem already";
            return Result::Busy;
        }
        if (m_system.ProcessAlive(*owner)) {
            m_owner = *owner;
            m_why = path + " names process " + std::to_string(*owner);
            return Result::Busy;
        }
        // Another program may have cleared the same stale lock and made its own since it
        // was read: only the very file that was read, still naming the same dead process,
        // is removed.
        const auto now = m_system.StatusOf(path);
        if (!now || now->device != before->device || now->inode != before->inode ||
            m_system.ReadFile(path, kLockFileMax) != existing) {
            continue;
        }
        if (const int removed = m_system.RemoveFile(path); removed != 0 && removed != -ENOENT) {
            // A lock of a process that has gone, left by another user in a directory
            // where only its owner may remove it: the port is free, but no lock can be
            // made for it.
            m_why = "the stale lock " + path + " of process " + std::to_string(*owner) +
                    " cannot be removed: " + std::strerror(-removed);
            return Result::Unavailable;
        }
    }
    m_why = path + " was taken by another program as we tried";
    return Result::Busy;
}

} // namespace sarvendo
