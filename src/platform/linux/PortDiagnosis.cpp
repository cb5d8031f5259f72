// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortDiagnosis.h"

#include "platform/SerialDevices.h"
#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/TtyHolders.h"

#include <cerrno>
#include <cstring>
#include <optional>

namespace sarvendo {
namespace {

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\0')) {
        text.pop_back();
    }
    return text;
}

// The serial driver behind a tty, from sysfs: the first driver up the device chain that
// is not the serial core's own port or controller layer.
std::string DriverOf(SystemCalls& system, const std::string& name)
{
    const std::string base = "/sys/class/tty/" + name + "/device";
    for (const std::string& up : {base + "/driver", base + "/../driver", base + "/../../driver"}) {
        const auto link = system.ReadLink(up);
        if (!link) {
            continue;
        }
        const std::string driver = BaseName(*link);
        if (driver != "port" && driver != "ctrl") {
            return driver;
        }
    }
    return {};
}

// What is known of a few drivers without looking, said only where the port could not be
// opened to measure it, and marked as knowledge.
struct DriverKnowledge
{
    const char* lines;
    const char* counters;
};

std::optional<DriverKnowledge> KnownOf(const std::string& driver)
{
    if (driver == "serial" || driver.find("8250") != std::string::npos) {
        return DriverKnowledge{"all six lines", "counts the bytes both ways"};
    }
    if (driver == "cdc_acm") {
        return DriverKnowledge{"CTS always on", "reports zeros (counts no bytes)"};
    }
    return std::nullopt;
}

std::string Known(const std::string& driver, const char* DriverKnowledge::*what)
{
    const auto known = KnownOf(driver);
    return known ? "; known of " + driver + ", not measured: " + (*known).*what : std::string();
}

std::string CountersText(int result, const SerialCounters& counters)
{
    if (result != 0) {
        return "none (the driver refuses TIOCGICOUNT: " + std::string(std::strerror(-result)) + ")";
    }
    if (counters.tx == 0 && counters.rx == 0) {
        // A driver that keeps no counts answers just so; so does one that has counted nothing yet.
        return "reports zeros (no bytes counted yet, or the driver counts none)";
    }
    return "tx " + std::to_string(counters.tx) + ", rx " + std::to_string(counters.rx);
}

std::string HangUpText(std::optional<bool> hupcl, const HolderSight& sight)
{
    std::string text = !hupcl ? "HUPCL not known (the device was not opened)" : *hupcl ? "HUPCL on" : "HUPCL off";
    if (hupcl && !*hupcl) {
        return text + ": a program's last close leaves DTR as it is";
    }
    if (sight.lockOwner) {
        return text + "; left alone when a program lets go: process " + std::to_string(*sight.lockOwner) +
               " holds a live UUCP lock on it";
    }
    if (sight.hiddenProcesses > 0) {
        return text + "; left alone when a program lets go: the descriptors of " +
               std::to_string(sight.hiddenProcesses) + (sight.hiddenProcesses == 1 ? " process" : " processes") +
               " cannot be read, so a holder may be out of sight";
    }
    return text + (hupcl ? "; every holder can be seen: when the last one lets go, DTR is dropped, as its close "
                           "would have done"
                         : "; every holder can be seen");
}

std::string LinesText(int bits)
{
    const auto onOff = [bits](int bit) { return (bits & bit) != 0 ? std::string(" on") : std::string(" off"); };
    return "DTR" + onOff(kTiocmDtr) + ", RTS" + onOff(kTiocmRts) + ", CTS" + onOff(kTiocmCts) + ", DSR" +
           onOff(kTiocmDsr) + ", CD" + onOff(kTiocmCar) + ", RI" + onOff(kTiocmRng);
}

} // namespace

std::vector<std::string> DescribeHolders(SystemCalls& system, const std::string& device)
{
    std::vector<std::string> holders;
    for (const std::int64_t pid : ProcessesHolding(system, device, false)) {
        const auto comm = system.ReadFile("/proc/" + std::to_string(pid) + "/comm", kSmallFile);
        holders.push_back((comm ? Trimmed(*comm) : std::string("process")) + " (pid " + std::to_string(pid) + ")");
    }
    if (holders.empty()) {
        if (const auto owner = LockOwner(system, device)) {
            holders.push_back("pid " + std::to_string(*owner) + ", named in its UUCP lock file");
        }
    }
    return holders;
}

PortDiagnosis DiagnosePort(SystemCalls& system, const std::string& device)
{
    PortDiagnosis d;
    d.device = device;
    const std::string name = KernelTtyName(system, device);
    const std::string driver = DriverOf(system, name);
    d.driver = driver.empty() ? "unknown" : driver;
    const HolderSight sight = SeeHolders(system, device);

    const auto holders = DescribeHolders(system, device);
    if (holders.empty()) {
        d.holders = "nobody this user can see";
    } else {
        for (const std::string& holder : holders) {
            d.holders += (d.holders.empty() ? "" : ", ") + holder;
        }
    }

    const std::string notOpened = "not measured (the device was not opened)";
    d.lines = notOpened + Known(driver, &DriverKnowledge::lines);
    d.counters = notOpened + Known(driver, &DriverKnowledge::counters);
    d.hangUp = HangUpText(std::nullopt, sight);
    if (!system.DeviceOf(device)) {
        d.opens = system.Exists(device) ? "no: not a serial port" : "no: no such device";
        return d;
    }
    if (const int access = system.CheckAccess(device); access != 0) {
        d.opens = "no: " + std::string(DescribePortOpenError(LinuxSerialDevices::ErrorOf(access)));
        return d;
    }
    const int fd = system.OpenTtyReadOnly(device);
    if (fd < 0) {
        d.opens = "no: " + std::string(DescribePortOpenError(LinuxSerialDevices::ErrorOf(fd)));
        return d;
    }
    d.opens = "yes";
    // A look is allowed while another program has the port; talking to the modem is not.
    if (sight.lockOwner || !holders.empty()) {
        d.opens += " (to look; the modem exchange is refused: " +
                   std::string(DescribePortOpenError(sight.lockOwner ? PortOpenError::Locked : PortOpenError::InUse)) +
                   ")";
    }
    int bits = 0;
    const int lines = system.GetModemBits(fd, bits);
    d.lines = lines == 0         ? LinesText(bits)
              : lines == -ENOTTY ? "none (no modem lines, a pseudo-terminal?)"
                                 : "none (the driver refuses TIOCMGET: " + std::string(std::strerror(-lines)) + ")";
    SerialCounters counters;
    const int counted = system.GetCounters(fd, counters);
    d.counters = CountersText(counted, counters);
    TtySettings settings;
    if (system.GetSettings(fd, settings) == 0) {
        d.hangUp = HangUpText((settings.cflag & kHupcl) != 0, sight);
    }
    system.Close(fd);
    return d;
}

std::string FormatPortDiagnosis(const PortDiagnosis& d)
{
    return "    opens:    " + d.opens + "\n    held by:  " + d.holders + "\n    driver:   " + d.driver +
           "\n    lines:    " + d.lines + "\n    counters: " + d.counters + "\n    hang-up:  " + d.hangUp + "\n";
}

} // namespace sarvendo
