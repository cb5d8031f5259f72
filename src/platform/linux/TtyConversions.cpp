// SPDX-License-Identifier: GPL-3.0-or-later
#include "TtyConversions.h"

namespace sarvendo {
namespace {

// The classic B-constants of the rates a tty may report without BOTHER.
std::uint32_t RateOfCode(std::uint32_t code)
{
    constexpr std::uint32_t kRates[] = {0,   50,   75,   110,  134,  150,  200,   300,
                                        600, 1200, 1800, 2400, 4800, 9600, 19200, 38400};
    if (code < 16) {
        return kRates[code];
    }
    constexpr std::uint32_t kHighRates[] = {0,       57600,   115200,  230400,  460800,  500000,  576000,  921600,
                                            1000000, 1152000, 1500000, 2000000, 2500000, 3000000, 3500000, 4000000};
    const std::uint32_t high = code & 017U;
    return (code & kBother) != 0 && high < 16 ? kHighRates[high] : 0;
}

} // namespace

std::uint8_t ModemControlFromBits(int bits)
{
    std::uint8_t value = 0;
    value |= (bits & kTiocmDtr) != 0 ? 0x01 : 0;
    value |= (bits & kTiocmRts) != 0 ? 0x02 : 0;
    value |= (bits & kTiocmOut1) != 0 ? 0x04 : 0;
    value |= (bits & kTiocmOut2) != 0 ? 0x08 : 0;
    value |= (bits & kTiocmLoop) != 0 ? 0x10 : 0;
    return value;
}

std::uint8_t ModemStatusFromBits(int bits)
{
    std::uint8_t value = 0;
    value |= (bits & kTiocmCts) != 0 ? 0x10 : 0;
    value |= (bits & kTiocmDsr) != 0 ? 0x20 : 0;
    value |= (bits & kTiocmRng) != 0 ? 0x40 : 0;
    value |= (bits & kTiocmCar) != 0 ? 0x80 : 0;
    return value;
}

std::uint8_t ParityCode(std::uint32_t cflag)
{
    if ((cflag & kParenb) == 0) {
        return kNoParity;
    }
    const bool odd = (cflag & kParodd) != 0;
    if ((cflag & kCmspar) != 0) {
        return odd ? kMarkParity : kSpaceParity;
    }
    return odd ? kOddParity : kEvenParity;
}

std::uint8_t ByteSizeOf(std::uint32_t cflag)
{
    switch (cflag & kCsize) {
    case kCs5:
        return 5;
    case kCs6:
        return 6;
    case kCs7:
        return 7;
    default:
        return 8;
    }
}

std::uint8_t StopBitsCode(std::uint32_t cflag)
{
    if ((cflag & kCstopb) == 0) {
        return kOneStopBit;
    }
    // With five data bits the controller sends one and a half stop bits for CSTOPB.
    return ByteSizeOf(cflag) == 5 ? kOneAndHalfStopBits : kTwoStopBits;
}

Dcb DcbFromSettings(const TtySettings& settings)
{
    Dcb dcb;
    const std::uint32_t code = settings.cflag & kCbaud;
    dcb.BaudRate = code == kBother ? settings.ospeed : (settings.ospeed != 0 ? settings.ospeed : RateOfCode(code));
    dcb.ByteSize = ByteSizeOf(settings.cflag);
    dcb.Parity = ParityCode(settings.cflag);
    dcb.StopBits = StopBitsCode(settings.cflag);
    dcb.OutxCtsFlow = (settings.cflag & kCrtscts) != 0;
    dcb.OutX = (settings.iflag & kIxon) != 0;
    dcb.InX = (settings.iflag & kIxoff) != 0;
    dcb.HangUpOnClose = (settings.cflag & kHupcl) != 0;
    dcb.IgnoreCarrier = (settings.cflag & kClocal) != 0;
    return dcb;
}

TtySettings SettingsFromDcb(const Dcb& dcb, TtySettings base)
{
    TtySettings t = base;
    // Raw mode: no line editing, echo, signals or output processing.
    constexpr std::uint32_t kIcanon = 0000002;
    constexpr std::uint32_t kEcho = 0000010;
    constexpr std::uint32_t kIsig = 0000001;
    constexpr std::uint32_t kIexten = 0100000;
    constexpr std::uint32_t kOpost = 0000001;
    constexpr std::uint32_t kIcrnl = 0000400;
    constexpr std::uint32_t kInlcr = 0000100;
    constexpr std::uint32_t kIgncr = 0000200;
    constexpr std::uint32_t kIstrip = 0000040;
    constexpr std::size_t kVtime = 5;
    constexpr std::size_t kVmin = 6;
    t.lflag &= ~(kIcanon | kEcho | kIsig | kIexten);
    t.oflag &= ~kOpost;
    t.iflag &= ~(kIcrnl | kInlcr | kIgncr | kIstrip | kIxon | kIxoff);
    t.iflag |= (dcb.OutX ? kIxon : 0) | (dcb.InX ? kIxoff : 0);
    t.cc[kVtime] = 0;
    t.cc[kVmin] = 0;

    t.cflag &= ~(kCbaud | kCsize | kCstopb | kParenb | kParodd | kCmspar | kCrtscts | kHupcl | kClocal);
    t.cflag |= kBother | kCread;
    t.ispeed = dcb.BaudRate;
    t.ospeed = dcb.BaudRate;
    // The input speed follows the output speed.
    t.cflag &= ~(kCbaud << 16U);
    switch (dcb.ByteSize) {
    case 5:
        t.cflag |= kCs5;
        break;
    case 6:
        t.cflag |= kCs6;
        break;
    case 7:
        t.cflag |= kCs7;
        break;
    default:
        t.cflag |= kCs8;
        break;
    }
    switch (dcb.Parity) {
    case kOddParity:
        t.cflag |= kParenb | kParodd;
        break;
    case kEvenParity:
        t.cflag |= kParenb;
        break;
    case kMarkParity:
        t.cflag |= kParenb | kParodd | kCmspar;
        break;
    case kSpaceParity:
        t.cflag |= kParenb | kCmspar;
        break;
    default:
        break;
    }
    // One and a half stop bits exist only with five data bits, where CSTOPB means them.
    if (dcb.StopBits == kTwoStopBits || (dcb.StopBits == kOneAndHalfStopBits && dcb.ByteSize == 5)) {
        t.cflag |= kCstopb;
    }
    t.cflag |= (dcb.OutxCtsFlow ? kCrtscts : 0) | (dcb.HangUpOnClose ? kHupcl : 0) | (dcb.IgnoreCarrier ? kClocal : 0);
    return t;
}

} // namespace sarvendo
