#include "LineBackendFactory.h"

#include "platform/Clock.h"
#include "platform/linux/LinuxLineBackend.h"
#include "platform/linux/QtEventPump.h"
#include "platform/sim/SimulatedLineBackend.h"

#include <fstream>
#include <sstream>

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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "cannot read the scenario file " + path;
        return std::nullopt;
    }
    std::string text(kLargestScenario + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
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
