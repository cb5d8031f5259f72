// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsStore.h"

#include "core/DateTimeText.h"
#include "core/IniFile.h"
#include "core/IntegerText.h"
#include "core/RealText.h"
#include "core/Rounding.h"

#include "platform/Directories.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <variant>

namespace sarvendo {
namespace {

constexpr const char* kDefaultPortKey = "Default Port";
constexpr const char* kShowLogoKey = "Show Logo at Startup";
constexpr const char* kEditorNameKey = "EditorName";

// How a per-port key is stored. The variant's member pointer says where it lives.
enum class Kind
{
    Integer,
    Colour,
    InitString,   // text of at most 49 characters, always written
    OptionalPath, // text of at most 259 characters, written only when not empty
    Real,
    ReadOnlyInteger,
    ReadOnlyFace,
};

using Member = std::variant<std::int32_t Settings::*, ColorRef Settings::*, std::string Settings::*,
                            BoundedString<50> Settings::*, double Settings::*>;

struct Key
{
    const char* name;
    Kind kind;
    Member member; // a key missing from the file leaves what Settings{} holds here
};

// The per-port keys in the order a save writes them; a fresh file lists them so.
const Key kPortKeys[] = {
    {"NewOrientation", Kind::Integer, &Settings::NewOrientation},
    {"Orientation Title", Kind::Integer, &Settings::OrientationTitle},
    {"LampLook", Kind::Integer, &Settings::LampLook},
    {"LampLookTitle", Kind::Integer, &Settings::LampLookTitle},
    {"Window Position X", Kind::Integer, &Settings::WindowPositionX},
    {"Window Position Y", Kind::Integer, &Settings::WindowPositionY},
    {"OnTop", Kind::Integer, &Settings::OnTop},
    {"AutoDelay", Kind::Integer, &Settings::AutoDelay},
    {"ModemInitString", Kind::InitString, &Settings::ModemInitString},
    {"InitModem", Kind::Integer, &Settings::InitModem},
    {"BackgroundColor", Kind::Colour, &Settings::BackgroundColor},
    {"TextColor", Kind::Colour, &Settings::TextColor},
    {"LightColorOn", Kind::Colour, &Settings::LightColorOn},
    {"LightColorOff", Kind::Colour, &Settings::LightColorOff},
    {"RIPlaySound", Kind::Integer, &Settings::RIPlaySound},
    {"RISound", Kind::OptionalPath, &Settings::RISound},
    {"ConnectSound", Kind::OptionalPath, &Settings::ConnectSound},
    {"DisconnectSound", Kind::OptionalPath, &Settings::DisconnectSound},
    {"WarnInactiveSound", Kind::OptionalPath, &Settings::WarnInactiveSound},
    {"ConnectPlaySound", Kind::Integer, &Settings::ConnectPlaySound},
    {"DisconnectPlaySound", Kind::Integer, &Settings::DisconnectPlaySound},
    {"WarnInactivePlaySound", Kind::Integer, &Settings::WarnInactivePlaySound},
    {"Status in Display", Kind::Integer, &Settings::StatusInDisplay},
    {"SPY Speed in Display", Kind::Integer, &Settings::SPYSpeedInDisplay},
    {"Log RI", Kind::Integer, &Settings::LogRI},
    {"Log DCD", Kind::Integer, &Settings::LogDCD},
    {"Display connect time", Kind::Integer, &Settings::DisplayConnectTime},
    {"Display total connect time in Display", Kind::Integer, &Settings::DisplayTotalConnectTimeInDisplay},
    {"DCD Interval", Kind::Integer, &Settings::DCDInterval},
    {"Display connect time in Titlebar", Kind::Integer, &Settings::DisplayConnectTimeInTitlebar},
    {"Display total connect time in Titlebar", Kind::Integer, &Settings::DisplayTotalConnectTimeInTitlebar},
    {"Timer Interval", Kind::Integer, &Settings::TimerInterval},
    {"No Title Bar", Kind::Integer, &Settings::NoTitleBar},
    {"Title", Kind::Integer, &Settings::Title},
    {"TitleBar Offset", Kind::Integer, &Settings::TitleBarOffset},
    {"CD Auto Exit", Kind::Integer, &Settings::CDAutoExit},
    {"CD Auto Exit Delay", Kind::Integer, &Settings::CDAutoExitDelay},
    {"Negotiation Delay", Kind::Integer, &Settings::NegotiationDelay},
    {"RD/TD Speed Update", Kind::Integer, &Settings::RDTDSpeedUpdate},
    {"Log total bytes", Kind::Integer, &Settings::LogTotalBytes},
    {"Warn when Exiting", Kind::Integer, &Settings::WarnWhenExiting},
    {"Warn if Inactive", Kind::Integer, &Settings::WarnIfInactive},
    {"Warn time if Inactive", Kind::Integer, &Settings::WarnTimeIfInactive},
    {"Warn time if Inactive, Seconds", Kind::Integer, &Settings::WarnTimeIfInactiveSeconds},
    {"Disconnect if Inactive", Kind::Integer, &Settings::DisconnectIfInactive},
    {"Disconnect time if Inactive", Kind::Integer, &Settings::DisconnectTimeIfInactive},
    {"Disconnect time if Inactive, Seconds", Kind::Integer, &Settings::DisconnectTimeIfInactiveSeconds},
    {"Trigger RD", Kind::Integer, &Settings::TriggerRD},
    {"No Direct Hardware Acesss", Kind::Integer, &Settings::NoDirectHardwareAcesss},
    {"ShowTrayIcon", Kind::Integer, &Settings::ShowTrayIcon},
    {"TotalConnectNew", Kind::Real, &Settings::TotalConnectNew},
    {"Run Lights", Kind::Integer, &Settings::RunLights},
    {"Alternative method for RD", Kind::Integer, &Settings::AlternativeMethodForRD},
    {"Auto Run", Kind::Integer, &Settings::AutoRun},
    {"Auto Run Program", Kind::OptionalPath, &Settings::AutoRunProgram},
    {"Font Size SPY", Kind::ReadOnlyInteger, &Settings::FontSizeSPY},
    {"Font Style SPY", Kind::ReadOnlyFace, &Settings::FontStyleSPY},
};

// Text reads use a buffer one larger than the longest text a key may hold.
constexpr std::size_t kShortTextBuffer = 50;
constexpr std::size_t kPathBuffer = 260;

// A total beyond ten million days (some 27 000 years) is no connect time but a damaged or
// hand-made value; held to this bound, every text and sum built from it stays exact in
// whole milliseconds.
constexpr double kLongestTotalConnectDays = 1e7;

std::int32_t HalfRoundedEven(int extent)
{
    return static_cast<std::int32_t>(RoundHalfEven(static_cast<long double>(extent) / 2.0L));
}

// Keeps a stored coordinate when the window it places would still show on the screen.
std::int32_t CheckedCoordinate(std::int32_t value, int windowExtent, int margin, int screenExtent)
{
    const std::int64_t lowest = -static_cast<std::int64_t>(windowExtent + margin);
    if (value >= lowest && value <= screenExtent) {
        return value;
    }
    return HalfRoundedEven(screenExtent);
}

void ReadKey(Settings& settings, const Settings& defaults, const IniFile& file, const std::string& section,
             const Key& key)
{
    switch (key.kind) {
    case Kind::Integer:
    case Kind::ReadOnlyInteger: {
        const auto member = std::get<std::int32_t Settings::*>(key.member);
        settings.*member = file.ReadInt(section, key.name, defaults.*member);
        break;
    }
    case Kind::Colour: {
        const auto member = std::get<ColorRef Settings::*>(key.member);
        const std::string text = file.ReadString(section, key.name, "", kShortTextBuffer);
        settings.*member = text.empty() ? defaults.*member : static_cast<ColorRef>(ParseIntegerPrefix(text));
        break;
    }
    case Kind::InitString:
        settings.*std::get<BoundedString<50> Settings::*>(key.member) =
            file.ReadString(section, key.name, "", kShortTextBuffer);
        break;
    case Kind::OptionalPath:
        settings.*std::get<std::string Settings::*>(key.member) = file.ReadString(section, key.name, "", kPathBuffer);
        break;
    case Kind::Real: {
        const auto member = std::get<double Settings::*>(key.member);
        const double value =
            ParseRealPrefix(file.ReadString(section, key.name, "", kShortTextBuffer), defaults.*member);
        settings.*member = std::clamp(value, -kLongestTotalConnectDays, kLongestTotalConnectDays);
        break;
    }
    case Kind::ReadOnlyFace: {
        const auto member = std::get<BoundedString<50> Settings::*>(key.member);
        const std::string face = file.ReadString(section, key.name, "", kShortTextBuffer);
        settings.*member = face.empty() ? defaults.*member : BoundedString<50>(face);
        break;
    }
    }
}

void WriteKey(Settings& settings, IniFile& file, const std::string& section, const Key& key)
{
    switch (key.kind) {
    case Kind::Integer:
        file.WriteString(section, key.name, std::to_string(settings.*std::get<std::int32_t Settings::*>(key.member)));
        break;
    case Kind::Colour:
        // Colours have always been written as signed numbers; both forms read back alike.
        file.WriteString(
            section, key.name,
            std::to_string(static_cast<std::int32_t>(settings.*std::get<ColorRef Settings::*>(key.member))));
        break;
    case Kind::InitString:
        file.WriteString(section, key.name, (settings.*std::get<BoundedString<50> Settings::*>(key.member)).str());
        break;
    case Kind::OptionalPath:
        if (const std::string& path = settings.*std::get<std::string Settings::*>(key.member); !path.empty()) {
            file.WriteString(section, key.name, path);
        }
        break;
    case Kind::Real:
        // The fixed form's leading blank is part of it, and is trimmed again on reading.
        file.WriteString(section, key.name, RealToText(settings.*std::get<double Settings::*>(key.member)),
                         IniFile::Quoting::Never);
        break;
    case Kind::ReadOnlyInteger:
    case Kind::ReadOnlyFace:
        break;
    }
}

void ApplySave(Settings& settings, IniFile& file)
{
    if (settings.DefaultPort <= 0) {
        return;
    }
    file.WriteString(kMainSection, kEditorNameKey, settings.EditorName.str());
    if (settings.NewOrientation == 6 || settings.NewOrientation == -6) {
        settings.NewOrientation = 3;
    }
    const std::string section = PortSectionName(settings.DefaultPort);
    for (const Key& key : kPortKeys) {
        WriteKey(settings, file, section, key);
    }
}

TextFileSave Commit(const TextFiles& files, const IniFile& file, const std::string& iniPath)
{
    if (!file.Changed() && file.LoadedFrom() != IniFile::Source::Unreadable) {
        return {};
    }
    return file.Save(files, iniPath);
}

} // namespace

std::string SettingsFilePath(const Directories& directories)
{
    std::string directory = directories.WindowsDirectory();
    if (!directory.empty() && directory.back() != '/') {
        directory += '/';
    }
    return directory + "SARVENDO.INI";
}

std::string PortSectionName(std::int32_t port)
{
    return "Sarvendo on COM" + std::to_string(port);
}

void LoadSettings(const TextFiles& files, Settings& settings, const std::string& iniPath, ScreenSize screen)
{
    LoadSettings(settings, IniFile::Load(files, iniPath), screen);
}

void LoadSettings(Settings& settings, const IniFile& file, ScreenSize screen)
{
    settings.EditorName = file.ReadString(kMainSection, kEditorNameKey, "", kPathBuffer);
    if (settings.DefaultPort < 0) {
        return;
    }
    const std::string section = PortSectionName(settings.DefaultPort);
    const Settings defaults{};
    for (const Key& key : kPortKeys) {
        ReadKey(settings, defaults, file, section, key);
    }

    // -2147483648 has no positive counterpart: every later look at the layout takes the
    // absolute value, so it is replaced here, once, like the numbers that name no layout.
    if (const long long layout = std::llabs(settings.NewOrientation);
        layout == 0 || layout == 6 || layout > std::numeric_limits<std::int32_t>::max()) {
        settings.NewOrientation = defaults.NewOrientation;
    }

    settings.WindowPositionX = file.ReadInt(section, "Window Position X", screen.width / 2);
    settings.WindowPositionY = file.ReadInt(section, "Window Position Y", screen.height / 2);
    const LayoutSize size = LayoutWindowSize(settings.NewOrientation);
    settings.WindowPositionX = CheckedCoordinate(settings.WindowPositionX, size.width, 5, screen.width);
    settings.WindowPositionY = CheckedCoordinate(settings.WindowPositionY, size.height, 4, screen.height);

    // Stored negative, the title bar is hidden at the first paint, which then stores 1.
    const std::int64_t noTitleBar = settings.NoTitleBar;
    settings.NoTitleBar = static_cast<std::int32_t>(noTitleBar < 0 ? noTitleBar : -noTitleBar);

    if (settings.TitleBarOffset < 0) {
        settings.TitleBarOffset = 0;
    }
}

TextFileSave SaveSettings(const TextFiles& files, Settings& settings, const std::string& iniPath)
{
    if (settings.DefaultPort <= 0) {
        return {};
    }
    IniFile file = IniFile::Load(files, iniPath);
    ApplySave(settings, file);
    return Commit(files, file, iniPath);
}

std::int32_t ReadDefaultPort(const IniFile& file)
{
    const std::int32_t port = file.ReadInt(kMainSection, kDefaultPortKey, Settings{}.DefaultPort);
    return port < 0 ? 0 : port;
}

std::int32_t ReadDefaultPort(const TextFiles& files, const std::string& iniPath)
{
    return ReadDefaultPort(IniFile::Load(files, iniPath));
}

std::int32_t ReadShowLogoAtStartup(const IniFile& file)
{
    return file.ReadInt(kMainSection, kShowLogoKey, Settings{}.ShowLogoAtStartup);
}

std::int32_t ReadShowLogoAtStartup(const TextFiles& files, const std::string& iniPath)
{
    return ReadShowLogoAtStartup(IniFile::Load(files, iniPath));
}

TextFileSave SaveSettingsAtShutdown(const TextFiles& files, Settings& settings, const std::string& iniPath)
{
    IniFile file = IniFile::Load(files, iniPath);
    if (settings.DefaultPort > 0) {
        file.WriteString(kMainSection, kDefaultPortKey, std::to_string(settings.DefaultPort));
        ApplySave(settings, file);
    }
    file.WriteString(kMainSection, kShowLogoKey, std::to_string(settings.ShowLogoAtStartup));
    return Commit(files, file, iniPath);
}

} // namespace sarvendo
