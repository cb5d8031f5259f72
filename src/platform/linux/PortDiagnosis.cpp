#include "PortDiagnosis.h"

#include "platform/SerialDevices.h"
#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/TtyHolders.h"

#include <cerrno>

namespace sarvendo {
namespace {

constexpr std::size_t kSmallFile = 256;

std::string BaseName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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

std::string DriverNote(const std::string& driver)
{
    if (driver == "serial" || driver == "serial8250" || driver.find("8250") != std::string::npos) {
        return " (8250/16550 UART: all lines and byte counts)";
    }
    if (driver == "cdc_acm") {
        return " (CTS always on, counts no bytes)";
    }
    if (driver == "pl2303") {
        return " (keeps no byte counts)";
    }
    return {};
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
    d.driver = driver.empty() ? "unknown" : driver + DriverNote(driver);

    const auto holders = DescribeHolders(system, device);
    if (holders.empty()) {
        d.holders = "nobody this user can see";
    } else {
        for (const std::string& holder : holders) {
            d.holders += (d.holders.empty() ? "" : ", ") + holder;
        }
    }

    const std::string notOpened = "not known (the device was not opened)";
    d.lines = notOpened;
    d.counters = notOpened;
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
    int bits = 0;
    const int lines = system.GetModemBits(fd, bits);
    d.lines = lines == 0 ? LinesText(bits) : lines == -ENOTTY ? "none (no modem lines, a pseudo-terminal?)" : "none";
    SerialCounters counters;
    const int counted = system.GetCounters(fd, counters);
    d.counters = counted == 0 ? "tx " + std::to_string(counters.tx) + ", rx " + std::to_string(counters.rx)
                              : "none (the driver keeps no byte counters)";
    system.Close(fd);
    return d;
}

std::string FormatPortDiagnosis(const PortDiagnosis& d)
{
    return "    opens:    " + d.opens + "\n    held by:  " + d.holders + "\n    driver:   " + d.driver +
           "\n    lines:    " + d.lines + "\n    counters: " + d.counters + "\n";
}

} // namespace sarvendo
