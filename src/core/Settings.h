// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/BoundedString.h"

#include "platform/DateTime.h"
#include "platform/Dcb.h"

#include <array>
#include <cstdint>
#include <string>

namespace sarvendo {

// A colour as the INI file stores it: red in the low byte, then green, then blue.
using ColorRef = std::uint32_t;

constexpr ColorRef Rgb(unsigned red, unsigned green, unsigned blue)
{
    return static_cast<ColorRef>((red & 0xFFU) | ((green & 0xFFU) << 8U) | ((blue & 0xFFU) << 16U));
}

// The eleven lamp bytes of the line, each 0 or 1, kept together so that a whole set can
// be copied and compared at once (the poll cycle keeps the painted set this way).
struct LampFlags
{
    std::uint8_t LampCTS = 0;
    std::uint8_t LampRTS = 0;
    std::uint8_t LampRI = 0;
    std::uint8_t PrevRI = 0;
    std::uint8_t LampCD = 0; // 1: a connection exists, everywhere in the program
    std::uint8_t PrevCD = 0;
    std::uint8_t LampDSR = 0;
    std::uint8_t LampTD = 0;
    std::uint8_t LampRD = 0;
    std::uint8_t LampDTR = 0;
    std::uint8_t HighSpeed = 0;

    friend bool operator==(const LampFlags&, const LampFlags&) = default;
};
static_assert(sizeof(LampFlags) == 11);

// The one record of the program's configuration and run-time state. The application
// owns the single instance and hands it by reference to every part that reads or
// writes it, always on the GUI thread. Configuration members are named after their INI
// keys; run-time members are grouped by the part of the program that writes them.
struct Settings : LampFlags
{
    // ---- Global configuration ("Sarvendo: Main") ----
    std::int32_t DefaultPort = 0;
    std::int32_t ShowLogoAtStartup = 1;
    BoundedString<260> EditorName;

    // ---- The connection history ("Sarvendo: History") ----
    std::int32_t KeepHistory = 1;
    std::int32_t HistoryDays = 0; // 0 keeps it forever

    // ---- Per-port configuration ("Sarvendo on COMn"), in the order they are saved ----
    std::int32_t NewOrientation = 3;
    std::int32_t OrientationTitle = 3;
    std::int32_t LampLook = 1;
    std::int32_t LampLookTitle = 0;
    std::int32_t WindowPositionX = 0;
    std::int32_t WindowPositionY = 0;
    std::int32_t OnTop = 0;
    std::int32_t AutoDelay = 60;
    BoundedString<50> ModemInitString;
    std::int32_t InitModem = 0;
    ColorRef BackgroundColor = Rgb(192, 192, 192);
    ColorRef TextColor = Rgb(0, 0, 0);
    ColorRef LightColorOn = Rgb(255, 0, 0);
    ColorRef LightColorOff = Rgb(130, 130, 130);
    std::int32_t RIPlaySound = 0;
    std::string RISound;
    std::string ConnectSound;
    std::string DisconnectSound;
    std::string WarnInactiveSound;
    std::int32_t ConnectPlaySound = 0;
    std::int32_t DisconnectPlaySound = 0;
    std::int32_t WarnInactivePlaySound = 0;
    std::int32_t StatusInDisplay = 0;
    std::int32_t SPYSpeedInDisplay = 0;
    std::int32_t LogRI = 0;
    std::int32_t LogDCD = 0;
    std::int32_t DisplayConnectTime = 0;
    std::int32_t DisplayTotalConnectTimeInDisplay = 0;
    std::int32_t DCDInterval = 30;
    std::int32_t DisplayConnectTimeInTitlebar = 0;
    std::int32_t DisplayTotalConnectTimeInTitlebar = 0;
    std::int32_t TimerInterval = 18;
    std::int32_t NoTitleBar = 0;
    std::int32_t Title = 0;
    std::int32_t TitleBarOffset = 0;
    std::int32_t CDAutoExit = 0;
    std::int32_t CDAutoExitDelay = 30;
    std::int32_t NegotiationDelay = 0;
    std::int32_t RDTDSpeedUpdate = 5;
    std::int32_t LogTotalBytes = 0;
    std::int32_t WarnWhenExiting = 0;
    std::int32_t WarnIfInactive = 0;
    std::int32_t WarnTimeIfInactive = 0;
    std::int32_t WarnTimeIfInactiveSeconds = 0;
    std::int32_t DisconnectIfInactive = 0;
    std::int32_t DisconnectTimeIfInactive = 0;
    std::int32_t DisconnectTimeIfInactiveSeconds = 0;
    std::int32_t TriggerRD = 0;
    std::int32_t NoDirectHardwareAcesss = 0;
    std::int32_t ShowTrayIcon = 0;
    double TotalConnectNew = 0.0;
    std::int32_t RunLights = 0;
    std::int32_t AlternativeMethodForRD = 0;
    std::int32_t AutoRun = 0;
    std::string AutoRunProgram;
    std::int32_t FontSizeSPY = 12;
    BoundedString<50> FontStyleSPY{"Arial"};

    // ---- Run-time state: start-up and the main window ----
    std::int32_t CommandLinePort = -99; // -99 none given, -89 invalid, 1..4 the port
    std::int32_t AssumePortsPresent = 1;
    std::int32_t DialogShowing = 0;
    std::int32_t ClosedDown = 0;
    std::int32_t NotifyValue2 = 0; // second number of the last dial-up notification

    // ---- Run-time state: the line (status driver, ports, dial-up counters) ----
    std::int32_t DriverHandle = 0; // > 0 while the status driver is open, -1 when its open failed
    Dcb PortDCB;                   // line parameters of the monitored port
    std::array<std::uint16_t, 4> PortBase{0x3F8, 0x2F8, 0x3E8, 0x2E8}; // [n - 1] for COMn
    std::array<std::uint8_t, 4> PortAvailable{1, 1, 1, 1};             // [n - 1] for COMn
    std::int32_t DialUpKind = 0;                                       // 0 no dial-up program installed, else 1
    std::int32_t DialUpFound = 0;                                      // 1 while the dial-up connection is known
    std::uint64_t DialUpWindow = 0;

    // ---- Run-time state: the poll cycle and the lamps ----
    LampFlags PaintedLamps;
    std::int32_t TDCounter = 0;
    std::int32_t RDCounter = 0;
    std::int32_t TDBytesAccum = 0;
    std::int32_t RDBytesAccum = 0;
    std::int32_t TDBytesLastWindow = 0;
    std::int32_t RDBytesLastWindow = 0;
    std::uint32_t RateWindowTick = 0;
    std::int32_t SessionSent = 0;
    std::int32_t SessionReceived = 0;
    std::string SpeedText; // "@ 28800 bps", empty while no speed is known
    DateTime LastActivity = 0.0;
    DateTime LastTraffic = 0.0;
    std::int32_t AutoOnTop = 0;
    DateTime LastClockRepaint = 0.0;
    std::uint8_t RepaintNeeded = 0;
    std::uint8_t RebuildLayout = 0;
    std::uint8_t RebuildWindowLamps = 0;
    std::uint8_t RebuildTitleLamps = 0;
    std::uint8_t RepaintAgain = 0;

    // ---- Run-time state: connect time and the event logs ----
    DateTime SessionStart = 0.0;
    std::int32_t RingCount = 0;
    DateTime LastRingTime = 0.0;
    std::int32_t DcdLogState = 0; // 0 idle, 1 connected and not yet logged, 2 "Connected:" written

    // ---- Run-time state: inactivity watchdog and automatic exit ----
    std::uint8_t AutoExitPending = 0;
    DateTime DisconnectTime = 0.0;
    std::int32_t AutoDisconnectBusy = 0;
    std::int32_t InactivityWarnBusy = 0;

    // ---- Run-time state: painting and window behaviour ----
    std::int32_t WindowWidth = 0; // outer size of the main window, set at each paint
    std::int32_t WindowHeight = 0;
    std::int32_t TextLineHeight = 0; // measures of the display font, taken at each paint that shows text lines
    std::int32_t TextCharWidth = 0;
    DateTime LastPanelConnectTime = -1.0; // whole seconds last drawn; -1 draws the next value
    DateTime LastTitleConnectTime = -1.0; // the caption's time, as LastPanelConnectTime
};

} // namespace sarvendo
