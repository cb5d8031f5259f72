// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Dcb.h"
#include "platform/linux/SystemCalls.h"

#include <cstdint>

namespace sarvendo {

// The modem lines of TIOCMGET in the layout of a PC serial controller's registers.
std::uint8_t ModemControlFromBits(int bits); // bit 0 DTR, 1 RTS, 2 OUT1, 3 OUT2, 4 loop
std::uint8_t ModemStatusFromBits(int bits);  // 0x10 CTS, 0x20 DSR, 0x40 RI, 0x80 CD

// A tty's settings as line parameters and back. Reading fills the whole record; writing
// keeps every field the record does not describe and puts the line in raw mode.
Dcb DcbFromSettings(const TtySettings& settings);
TtySettings SettingsFromDcb(const Dcb& dcb, TtySettings base);

// The parity code (0..4) and the stop-bits code (0..2) of a tty's control flags.
std::uint8_t ParityCode(std::uint32_t cflag);
std::uint8_t StopBitsCode(std::uint32_t cflag);
std::uint8_t ByteSizeOf(std::uint32_t cflag);

} // namespace sarvendo
