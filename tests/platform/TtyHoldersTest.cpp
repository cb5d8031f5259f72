// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/TtyHolders.h"

#include "fakes/FakeSystemCalls.h"
#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/UucpLock.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace sarvendo {
namespace {

using fakes::FakeSystemCalls;

constexpr const char* kModem = "/dev/ttyS0";
constexpr DeviceNumber kTtyS0 = 0x440;

TEST(LockFileTest, LocksCarryTheKernelsNameOfTheTty)
{
    FakeSystemCalls system;
    system.links["/dev/serial/by-id/usb-Modem-if00"] = "../../ttyACM0";
    system.links["/dev/modem"] = "/dev/ttyS1";
    system.links["/home/user/mymodem"] = "ttyUSB0";
    system.links["/dev/gsmmodem"] = "serial/by-id/usb-Modem-if00"; // a link to a link
    const std::pair<const char*, const char*> cases[] = {
        {"/dev/ttyS0", "ttyS0"},           {"/dev/serial/by-id/usb-Modem-if00", "ttyACM0"},
        {"/dev/modem", "ttyS1"},           {"/dev/pts/3", "pts_3"},
        {"/home/user/mymodem", "ttyUSB0"}, {"/dev/gsmmodem", "ttyACM0"},
    };
    for (const auto& [device, name] : cases) {
        EXPECT_EQ(KernelTtyName(system, device), name) << device;
    }
}

TEST(LockFileTest, TheOwnersProcessIdInEveryFormDialersWrite)
{
    const std::pair<std::string, std::optional<std::int64_t>> cases[] = {
        {"       412\n", 412},
        {"412", 412},
        {"      1234 minicom user\n", 1234},
        {std::string("\x9c\x01\x00\x00", 4), 412}, // four binary bytes
        {"", std::nullopt},
        {"garbage\n", std::nullopt},
        {"       0\n", std::nullopt},
        {"12ab\n", std::nullopt},
        {"99999999999999999999\n", std::nullopt},
        {std::string("\x31\x04\x00\x00", 4), 0x431}, // binary, its first byte a digit
        {std::string("\x20\x04\x00\x00", 4), 0x420}, // binary, its first byte a blank
    };
    for (const auto& [content, owner] : cases) {
        EXPECT_EQ(ParseLockOwner(content), owner) << content;
    }
}

// Who holds the watched tty is asked every second; /proc is read again only when the
// device node saw an open or a close.
class HolderWatchTest : public ::testing::Test
{
protected:
    HolderWatchTest()
    {
        system.AddTty(kModem, kTtyS0);
        system.directories["/proc"] = {"1", "100"};
        system.directories["/proc/1/fd"] = {"0", "1"};
        system.links["/proc/1/fd/0"] = "/dev/null";
        system.devices["/proc/1/fd/0"] = 0x103;
        system.links["/proc/1/fd/1"] = "/mnt/dead-nfs/log";
    }

    bool Seconds(int count)
    {
        bool held = false;
        for (int i = 0; i < count; ++i) {
            system.now += 1000;
            held = watch.HeldByAnother(kModem);
        }
        return held;
    }

    FakeSystemCalls system;
    HolderWatch watch{system};
};

TEST_F(HolderWatchTest, ProcIsReadAgainOnlyWhenTheDeviceWasOpenedOrClosed)
{
    EXPECT_FALSE(Seconds(30));
    EXPECT_EQ(system.listings["/proc"], 1);
    EXPECT_EQ(system.deviceLookups["/proc/1/fd/1"], 0) << "a descriptor outside /dev is never stat'ed";

    system.AddHolder(412, 3, kModem);
    EXPECT_TRUE(Seconds(1));
    EXPECT_TRUE(Seconds(20));
    EXPECT_EQ(system.listings["/proc"], 2);
    system.DropHolder(412);
    EXPECT_FALSE(Seconds(1));
    EXPECT_EQ(system.listings["/proc"], 3);

    // An open through another node of the same device is not heard; the slow round finds it.
    system.directories["/proc/77/fd"] = {"4"};
    system.links["/proc/77/fd/4"] = "/dev/modem-copy";
    system.devices["/proc/77/fd/4"] = kTtyS0;
    system.directories["/proc"].push_back("77");
    EXPECT_FALSE(Seconds(1));
    EXPECT_TRUE(Seconds(HolderWatch::kFullScanMs / 1000));
}

TEST_F(HolderWatchTest, WithoutAWatchProcIsReadEveryFewSeconds)
{
    system.watchError = -ENOSPC;
    const int seconds = HolderWatch::kUnwatchedScanMs / 1000;
    EXPECT_FALSE(Seconds(4 * seconds));
    EXPECT_EQ(system.listings["/proc"], 4);
    system.AddHolder(412, 3, kModem);
    EXPECT_TRUE(Seconds(seconds));
    system.watchError = 0; // watches to be had again
    EXPECT_TRUE(Seconds(seconds));
    system.DropHolder(412);
    EXPECT_FALSE(Seconds(1));
}

TEST_F(HolderWatchTest, AReplacedDeviceIsWatchedAfresh)
{
    EXPECT_FALSE(Seconds(1));
    system.Unplug(kModem);
    EXPECT_FALSE(Seconds(3));
    EXPECT_TRUE(system.watches.empty()) << "no watch on a node that has gone";
    system.Replug(kModem, 0xBC01);
    system.AddHolder(500, 5, kModem); // the replugged modem, opened by a dialer
    EXPECT_TRUE(Seconds(1));
    EXPECT_EQ(system.watches.size(), 1U);
    system.DropHolder(500);
    EXPECT_FALSE(Seconds(1)) << "the new node's closes are heard";
}

TEST_F(HolderWatchTest, ALiveLockHoldsWithoutAnyLookAtProc)
{
    system.files["/run/lock/LCK..ttyS0"] = "       412\n";
    system.alive.insert(412);
    EXPECT_TRUE(Seconds(10));
    EXPECT_EQ(system.listings["/proc"], 0);
    system.alive.clear();
    EXPECT_FALSE(Seconds(1)) << "a stale lock means nothing";
}

// The modem exchange holds a UUCP lock from before the open to after the close.
class UucpLockTest : public ::testing::Test
{
protected:
    UucpLockTest()
    {
        system.AddTty(kModem, kTtyS0);
        system.directories["/run/lock"] = {};
        system.existing.insert("/run/lock");
    }

    FakeSystemCalls system;
    const std::string lockFile = "/run/lock/LCK..ttyS0";
};

TEST_F(UucpLockTest, TakenWithOurProcessIdAndGivenBack)
{
    {
        UucpLock lock(system);
        ASSERT_EQ(lock.Take(kModem), UucpLock::Result::Taken);
        EXPECT_EQ(system.files[lockFile], "       100\n");
        UucpLock second(system);
        EXPECT_EQ(second.Take(kModem), UucpLock::Result::Busy) << "not even this program twice";
    }
    EXPECT_EQ(system.files.count(lockFile), 0U);

    // A lock broken and retaken by someone else while ours was held stays theirs.
    UucpLock lock(system);
    lock.Take(kModem);
    system.files[lockFile] = "       555\n";
    lock.Release();
    EXPECT_EQ(system.files[lockFile], "       555\n");
}

TEST_F(UucpLockTest, WhatAnExistingLockMeans)
{
    struct Case
    {
        const char* what;
        std::string content;
        bool ownerAlive;
        UucpLock::Result result;
        bool removed;
    };
    const Case cases[] = {
        {"a live dialer's lock", "      4242\n", true, UucpLock::Result::Busy, false},
        {"a lock of a process that has gone", "      4242\n", false, UucpLock::Result::Taken, true},
        {"a binary lock of a live process", std::string("\x92\x10\x00\x00", 4), true, UucpLock::Result::Busy, false},
        {"a lock that names no process", "", false, UucpLock::Result::Busy, false},
    };
    for (const Case& c : cases) {
        system.files[lockFile] = c.content;
        system.removed.clear();
        system.alive.clear();
        if (c.ownerAlive) {
            system.alive.insert(4242);
        }
        UucpLock lock(system);
        EXPECT_EQ(lock.Take(kModem), c.result) << c.what;
        EXPECT_EQ(system.files[lockFile], c.removed ? "       100\n" : c.content) << c.what;
        EXPECT_EQ(lock.Owner(), c.ownerAlive ? 4242 : 0) << c.what;
        lock.Release();
    }
}

TEST_F(UucpLockTest, AStaleLockIsRemovedOnlyWhileItIsStillTheStaleOne)
{
    // Another dialer clears the same stale lock between our look at it and our move: it
    // makes its own at once, or it is still on its way.
    struct Case
    {
        const char* what;
        std::function<void()> otherDialer;
        UucpLock::Result result;
        std::string left; // the lock file afterwards
    };
    const std::vector<Case> cases{
        {"no other dialer", [] {}, UucpLock::Result::Taken, "       100\n"},
        {"the other dialer's lock is made",
         [this] {
             system.RemoveFile(lockFile);
             system.CreateExclusive(lockFile, "      5151\n");
             system.alive.insert(5151);
         },
         UucpLock::Result::Busy, "      5151\n"},
        {"the other dialer has only removed the stale one", [this] { system.RemoveFile(lockFile); },
         UucpLock::Result::Taken, "       100\n"},
    };
    for (const Case& c : cases) {
        system.files = {{lockFile, "      4242\n"}};
        system.alive.clear();
        bool once = true;
        system.beforeRename = [&](const std::string&) {
            if (std::exchange(once, false)) {
                c.otherDialer();
            }
        };
        UucpLock lock(system);
        EXPECT_EQ(lock.Take(kModem), c.result) << c.what;
        EXPECT_EQ(system.files[lockFile], c.left) << c.what << ": a live lock is never lost";
        lock.Release();
        EXPECT_EQ(system.files.size(), c.result == UucpLock::Result::Taken ? 0U : 1U)
            << c.what << ": nothing is left behind";
    }

    // A lock file planted as a link is not read through it, and not removed.
    system.files = {{"/etc/shadow", "       1\n"}};
    system.links[lockFile] = "/etc/shadow";
    system.files[lockFile] = "       1\n";
    UucpLock linked(system);
    EXPECT_EQ(linked.Take(kModem), UucpLock::Result::Busy);
    EXPECT_EQ(system.files.count(lockFile), 1U);
    system.links.clear();
    system.beforeRename = {};

    // A stale lock of another user's, in a directory where only its owner may remove it.
    system.files = {{lockFile, "      4242\n"}};
    system.unremovable.insert(lockFile);
    UucpLock lock(system);
    EXPECT_EQ(lock.Take(kModem), UucpLock::Result::Unavailable);
    EXPECT_NE(lock.Why().find("stale lock"), std::string::npos) << lock.Why();
}

TEST_F(UucpLockTest, TheKernelsNameOfAStableLinkAndNoLockDirectory)
{
    const std::string byId = "/dev/serial/by-id/usb-Modem-if00";
    system.links[byId] = "../../ttyACM0";
    UucpLock lock(system);
    ASSERT_EQ(lock.Take(byId), UucpLock::Result::Taken);
    EXPECT_EQ(lock.Path(), "/run/lock/LCK..ttyACM0");
    lock.Release();

    system.readOnlyDirectories.insert("/run/lock");
    EXPECT_EQ(lock.Take(kModem), UucpLock::Result::Unavailable);
    EXPECT_NE(lock.Why().find("/run/lock/LCK..ttyS0"), std::string::npos) << lock.Why();
}

TEST_F(UucpLockTest, TheModemExchangeIsExclusiveUnderTheLock)
{
    std::vector<std::string> reports;
    LinuxSerialDevices serial(system, PortDeviceMap{kModem}, {},
                              [&](const std::string& text) { reports.push_back(text); });
    {
        auto opened = serial.Open(1, SerialDevices::Purpose::ReadWrite);
        ASSERT_NE(opened.port, nullptr);
        EXPECT_EQ(system.files.count(lockFile), 1U) << "locked while we talk to the modem";
        EXPECT_EQ(serial.Open(1, SerialDevices::Purpose::ReadWrite).error, PortOpenError::Locked);
        EXPECT_NE(serial.Open(1, SerialDevices::Purpose::Probe).port, nullptr) << "a look needs no lock";
    }
    EXPECT_EQ(system.files.count(lockFile), 0U);
    EXPECT_TRUE(system.openFds.empty());

    // A root getty this user cannot see in /proc, but whose lock is there.
    system.files[lockFile] = "       377\n";
    system.alive.insert(377);
    reports.clear();
    EXPECT_EQ(serial.Open(1, SerialDevices::Purpose::ReadWrite).error, PortOpenError::Locked);
    EXPECT_EQ(system.ttys[kModem].opens, 2) << "the busy port was not opened";
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_NE(reports[0].find("377"), std::string::npos) << reports[0];

    // Where no lock can be made, the exchange goes ahead and says so.
    system.files.erase(lockFile);
    system.readOnlyDirectories.insert("/run/lock");
    reports.clear();
    EXPECT_NE(serial.Open(1, SerialDevices::Purpose::ReadWrite).port, nullptr);
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_NE(reports[0].find("without a lock"), std::string::npos) << reports[0];
}

} // namespace
} // namespace sarvendo
