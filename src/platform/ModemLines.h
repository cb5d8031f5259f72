// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sarvendo {

// The modem-control lines of a port, seen as the two registers of a PC serial
// controller: the modem control register (bit 0 DTR, bit 1 RTS, the other bits as the
// controller keeps them) and the modem status register (0x10 CTS, 0x20 DSR, 0x40 RI,
// 0x80 CD). Reading never changes a line. A port whose lines cannot be seen (no device,
// busy, a pseudo-terminal without modem lines, a line the kernel has hung up) reads as
// empty, refuses writes, and can say why. These bit values are the one definition the
// program uses for both registers.
class ModemLines
{
public:
    virtual ~ModemLines() = default;
    virtual std::optional<std::uint8_t> ReadModemControl(int portNumber) = 0;
    virtual std::optional<std::uint8_t> ReadModemStatus(int portNumber) = 0;
    // True when the lines took the value.
    virtual bool WriteModemControl(int portNumber, std::uint8_t value) = 0;
    // Why the port's lines cannot be reached now, in words for the user ("busy: another
    // program holds it exclusively"); empty when they can, or when the reason is unknown.
    virtual std::string WhyUnreachable(int portNumber) const = 0;
};

inline constexpr std::uint8_t kMcrDtr = 0x01;
inline constexpr std::uint8_t kMcrRts = 0x02;
inline constexpr std::uint8_t kMsrCts = 0x10;
inline constexpr std::uint8_t kMsrDsr = 0x20;
inline constexpr std::uint8_t kMsrRi = 0x40;
inline constexpr std::uint8_t kMsrCd = 0x80;

} // namespace sarvendo
