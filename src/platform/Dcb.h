// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace sarvendo {

// Parity codes of the line-parameter record.
inline constexpr std::uint8_t kNoParity = 0;
inline constexpr std::uint8_t kOddParity = 1;
inline constexpr std::uint8_t kEvenParity = 2;
inline constexpr std::uint8_t kMarkParity = 3;
inline constexpr std::uint8_t kSpaceParity = 4;

// Stop-bits codes of the line-parameter record.
inline constexpr std::uint8_t kOneStopBit = 0;
inline constexpr std::uint8_t kOneAndHalfStopBits = 1;
inline constexpr std::uint8_t kTwoStopBits = 2;

// The line parameters of a serial port in the classic device-control-block shape: the
// speed in bits per second, data bits, parity and stop-bits codes, and the flow-control
// switches a port query fills. A port query fills the whole record; the status driver's
// answers fill only the first four members, and the others keep what was there before.
struct Dcb
{
    std::uint32_t BaudRate = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = kNoParity;
    std::uint8_t StopBits = kOneStopBit;
    bool OutxCtsFlow = false;   // hardware flow control (CRTSCTS)
    bool OutX = false;          // XON/XOFF on output (IXON)
    bool InX = false;           // XON/XOFF on input (IXOFF)
    bool HangUpOnClose = true;  // the last close drops DTR and RTS (HUPCL)
    bool IgnoreCarrier = false; // CLOCAL

    friend bool operator==(const Dcb&, const Dcb&) = default;
};

} // namespace sarvendo
