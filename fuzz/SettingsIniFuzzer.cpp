// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as SARVENDO.INI: reading them, loading the settings of a port and saving
// them must neither crash nor lose what the file held, and saving must settle.
#include "FuzzCheck.h"
#include "core/IniFile.h"
#include "core/SettingsStore.h"

#include "platform/TextFiles.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace {

using namespace sarvendo;

// The settings file in memory.
class MemoryTextFiles final : public TextFiles
{
public:
    TextFileContent Read(const std::string& /*path*/) const override
    {
        return {TextFileContent::Status::Read, text, {}, {}};
    }
    TextFileSave Replace(const std::string& /*path*/, std::string_view replacement) const override
    {
        text.assign(replacement);
        return {};
    }
    mutable std::string text;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const IniFile file = IniFile::FromText(text);
    fuzz::Check(file.Text() == text, "an unedited file is written back byte for byte");

    const std::int32_t port = ReadDefaultPort(file);
    fuzz::Check(port >= 0, "a negative Default Port reads as 0");
    Settings settings;
    settings.DefaultPort = port % 10;
    LoadSettings(settings, file, ScreenSize{1024, 768});
    fuzz::Check(std::isfinite(settings.TotalConnectNew) && std::fabs(settings.TotalConnectNew) <= 1e7,
                "the total connect time is held to its range");
    fuzz::Check(settings.NoTitleBar <= 0, "No Title Bar loads as 0 or negative");
    fuzz::Check(settings.TitleBarOffset >= 0, "a negative title-bar offset loads as 0");
    fuzz::Check(settings.DefaultPort < 0 || settings.NewOrientation != std::numeric_limits<std::int32_t>::min(),
                "every layout number loaded has an absolute value");
    fuzz::Check(settings.ModemInitString.size() <= 49 && settings.EditorName.size() <= 259 &&
                    settings.RISound.size() <= 259 && settings.AutoRunProgram.size() <= 259,
                "texts keep to their limits");
    const std::string section = PortSectionName(settings.DefaultPort);
    if (const auto raw = file.RawValue(section, "ModemInitString")) {
        // Quotes around the value are taken off before the cut; blanks the cut leaves go too.
        const bool quoted =
            raw->size() >= 2 && (raw->front() == '"' || raw->front() == '\'') && raw->back() == raw->front();
        const std::string_view value = quoted ? std::string_view(*raw).substr(1, raw->size() - 2) : *raw;
        fuzz::Check(value.substr(0, settings.ModemInitString.size()) == settings.ModemInitString.str(),
                    "the init string is the start of the stored value");
        if (value.size() > 49) {
            std::size_t cut = settings.ModemInitString.size();
            while (cut < value.size() && cut < 49 &&
                   (value[cut] == ' ' || (value[cut] >= '\t' && value[cut] <= '\r') || value[cut] == '\x1a')) {
                ++cut;
            }
            fuzz::Check(fuzz::CutKeepsCharactersWhole(value, cut),
                        "an overlong init string is cut on a character boundary");
        }
    }
    fuzz::Check(settings.ModemInitString.str().find('\0') == std::string::npos, "a NUL ends a value");

    // Saving settles: saving again what a save wrote changes nothing.
    if (settings.DefaultPort > 0) {
        MemoryTextFiles files;
        files.text = text;
        fuzz::Check(static_cast<bool>(SaveSettingsAtShutdown(files, settings, "SARVENDO.INI")),
                    "a readable file can be saved");
        const std::string saved = files.text;
        Settings again;
        again.DefaultPort = ReadDefaultPort(IniFile::FromText(saved));
        fuzz::Check(again.DefaultPort == settings.DefaultPort, "Default Port survives a save");
        LoadSettings(files, again, "SARVENDO.INI", ScreenSize{1024, 768});
        fuzz::Check(SaveSettingsAtShutdown(files, again, "SARVENDO.INI") && files.text == saved,
                    "saving what was saved changes nothing");
    }
    return 0;
}
