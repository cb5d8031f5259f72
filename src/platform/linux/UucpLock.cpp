// SPDX-License-Identifier: GPL-3.0-or-later
#include "UucpLock.h"

#include "platform/linux/TtyHolders.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace sarvendo {

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
        const auto content = m_system.ReadFileNoFollow(m_path, kLockFileMax);
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
    const std::string pid = std::to_string(m_system.OwnProcessId());
    // The lock is written whole under a name of this process's own and then linked to its
    // real name, which never replaces a file: nobody ever reads it half-written.
    const std::string draft = directory + "/LTMP." + pid;
    char content[32];
    std::snprintf(content, sizeof content, "%10lld\n", static_cast<long long>(m_system.OwnProcessId()));
    m_system.RemoveFile(draft); // left by an earlier process of the same id
    if (const int made = m_system.CreateExclusive(draft, content); made != 0) {
        m_why = "cannot make " + path + " (written first as " + draft + "): " + std::strerror(-made);
        return Result::Unavailable;
    }
    const Result result = Claim(path, draft, directory + "/LSTALE." + pid);
    m_system.RemoveFile(draft);
    return result;
}

UucpLock::Result UucpLock::Claim(const std::string& path, const std::string& draft, const std::string& aside)
{
    // Two rounds: a stale lock removed in the first leaves the way free for the second.
    for (int round = 0; round < 2; ++round) {
        const int linked = m_system.LinkFile(draft, path);
        if (linked == 0) {
            m_path = path;
            return Result::Taken;
        }
        if (linked != -EEXIST) {
            m_why = "cannot make " + path + ": " + std::strerror(-linked);
            return Result::Unavailable;
        }
        const auto before = m_system.StatusOf(path);
        const auto existing = m_system.ReadFileNoFollow(path, kLockFileMax);
        if (!existing) {
            if (!before) {
                continue; // its owner removed it just now
            }
            m_why = path + " is not a plain lock file";
            return Result::Busy;
        }
        const auto owner = ParseLockOwner(*existing);
        if (!owner) {
            // Perhaps being written this very moment by a dialer that writes in place; in
            // any case not ours to remove.
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
        // The lock of a process that has gone. Another dialer may be clearing it too and
        // have made its own lock since it was read, so it is not simply removed: it is
        // moved aside in one step (of two programs doing so, one gets it, the other finds
        // nothing), and what was moved is removed only if it is the very file that was read.
        if (const int moved = m_system.RenameFile(path, aside); moved != 0) {
            if (moved == -ENOENT) {
                continue; // another program cleared it first
            }
            // A lock of a process that has gone, left by another user in a directory
            // where only its owner may remove it: the port is free, but no lock can be
            // made for it.
            m_why = "the stale lock " + path + " of process " + std::to_string(*owner) +
                    " cannot be removed: " + std::strerror(-moved);
            return Result::Unavailable;
        }
        const auto after = m_system.StatusOf(aside);
        const bool stale = before && after && before->device == after->device && before->inode == after->inode &&
                           m_system.ReadFileNoFollow(aside, kLockFileMax) == existing;
        if (!stale) {
            // Another dialer's fresh lock, made between the look and the move: it goes back
            // under its name, which a link never takes from a third program that got there
            // in the meantime.
            const int restored = m_system.LinkFile(aside, path);
            m_system.RemoveFile(aside);
            m_why = restored == 0 ? path + " was taken by another program as we tried"
                                  : "another program's lock " + path +
                                        ", made as the stale one was cleared, "
                                        "could not be put back: a third program took the name";
            return Result::Busy;
        }
        m_system.RemoveFile(aside);
    }
    m_why = path + " was taken by another program as we tried";
    return Result::Busy;
}

} // namespace sarvendo
