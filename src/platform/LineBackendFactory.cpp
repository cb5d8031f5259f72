// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineBackendFactory.h"

#include "platform/Clock.h"
#include "platform/linux/LinuxLineBackend.h"
#include "platform/linux/QtEventPump.h"
#include "platform/sim/SimulatedLineBackend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

constexpr std::size_t kLargestScenario = 1024 * 1024;

// Owns the event pump the simulated platform hands out.
class OwnedSimulation final : public LineBackend
{
public:
    OwnedSimulation(Scenario scenario, const Clock& clock, std::function<int()> monitoredPort, std::string description)
        : m_platform(std::move(scenario), clock, std::move(monitoredPort), m_events, std::move(description))
    {
    }
    LinePlatform View() override { return m_platform.View(); }
    std::string Description() const override { return m_platform.Description(); }
    std::string DescribePort(int portNumber) override { return m_platform.DescribePort(portNumber); }

private:
    QtEventPump m_events;
    SimulatedLineBackend m_platform;
};

std::optional<std::string> ReadScenarioFile(const std::string& path, std::string& why)
{
    // Looked at before it is opened: opening a FIFO would wait for a writer for ever, and
    // opening a tty would raise its DTR.
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        why = "the scenario file " + path + " is not a regular file";
        return std::nullopt;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        why = "cannot read the scenario file " + path;
        return std::nullopt;
    }
    // The name may have been swapped for something else between the two looks.
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        why = "the scenario file " + path + " is not a regular file";
        return std::nullopt;
    }
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while (text.size() <= kLargestScenario && (n = ::read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (n < 0) {
        why = "cannot read the scenario file " + path;
        return std::nullopt;
    }
    if (text.size() > kLargestScenario) {
        why = "the scenario file " + path + " is larger than 1 MB";
        return std::nullopt;
    }
    return text;
}

} // namespace

LineBackendChoice MakeLineBackend(const LineBackendOptions& options)
{
    LineBackendChoice choice;
    if (options.simulate.empty() || options.simulate == "0" || options.clock == nullptr) {
        choice.owner =
            std::make_unique<LinuxLineBackend>(options.devices, options.monitoredPort, options.connectReportFile);
        return choice;
    }
    std::string description = "simulated modem (built-in scenario)";
    std::optional<Scenario> scenario;
    if (options.simulate != "1") {
        std::string why;
        if (const auto text = ReadScenarioFile(options.simulate, why)) {
            auto parsed = ParseScenario(*text);
            if (parsed.scenario) {
                scenario = std::move(parsed.scenario);
                description = "simulated modem (" + options.simulate + ")";
            } else {
                why = options.simulate + ", " + parsed.error;
            }
        }
        if (!scenario) {
            choice.warning = why + "; the built-in scenario runs instead.";
        }
    }
    if (!scenario) {
        scenario = ParseScenario(BuiltInScenarioText()).scenario;
    }
    choice.owner =
        std::make_unique<OwnedSimulation>(std::move(*scenario), *options.clock, options.monitoredPort, description);
    return choice;
}

} // namespace sarvendo
