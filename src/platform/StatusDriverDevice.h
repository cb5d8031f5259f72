// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace sarvendo {

// The status driver as a device: opened by path, then asked numbered requests that
// carry no input and answer through a returned byte count and, for some requests, the
// call's completion status. This is the whole protocol the program relies on; what
// stands behind it (a module watching a tty, a simulated modem, a scripted fake) is the
// implementation's business. Handles are positive on success and -1 on failure.
class StatusDriverDevice
{
public:
    struct Reply
    {
        bool succeeded = false;
        std::uint32_t bytesReturned = 0;
        std::uint32_t completionStatus = 0; // the thread's last-error value after the call
    };

    virtual ~StatusDriverDevice() = default;

    virtual std::int32_t Open(const std::string& path) = 0;
    virtual void Close(std::int32_t handle) = 0;

    // One request. outBufferSize is the size of the output buffer the caller passes
    // (its content is never read back); a request on an unknown handle fails.
    virtual Reply Request(std::int32_t handle, std::uint32_t code, std::uint32_t outBufferSize) = 0;
};

// The request codes.
inline constexpr std::uint32_t kHookComm = 2;
inline constexpr std::uint32_t kUnhookComm = 3;
inline constexpr std::uint32_t kTakeSentCount = 4;
inline constexpr std::uint32_t kTakeReceivedCount = 5;
inline constexpr std::uint32_t kQueryPortOpen = 6;
inline constexpr std::uint32_t kReadLineStatus = 8;
inline constexpr std::uint32_t kReadBaudParity = 9;
inline constexpr std::uint32_t kReadFrameFormat = 10;
inline constexpr std::uint32_t kTakeReceivedCountAlt = 11;

// The module's file name beside the program.
inline constexpr const char* kStatusDriverFileName = "SARVEN95.VXD";

} // namespace sarvendo
