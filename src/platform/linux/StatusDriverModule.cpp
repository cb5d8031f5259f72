// SPDX-License-Identifier: GPL-3.0-or-later
// The status driver module, built as SARVEN95.VXD beside the program.

#include "platform/linux/RealSystemCalls.h"
#include "platform/linux/StatusDriverModuleAbi.h"
#include "platform/linux/TtyWatcher.h"

#include <memory>
#include <new>

namespace {

struct Context
{
    sarvendo::RealSystemCalls system;
    sarvendo::TtyWatcher watcher{system};
};

} // namespace

extern "C" {

__attribute__((visibility("default"))) int sarvendo_driver_abi_version()
{
    return kStatusDriverAbiVersion;
}

__attribute__((visibility("default"))) void* sarvendo_driver_create()
{
    return new (std::nothrow) Context; // NOLINT: ownership passes to the program through the C interface
}

__attribute__((visibility("default"))) void sarvendo_driver_destroy(void* context)
{
    std::unique_ptr<Context> owned(static_cast<Context*>(context));
}

__attribute__((visibility("default"))) int sarvendo_driver_request(void* context, const char* device,
                                                                   std::uint32_t code, std::uint32_t /*outBufferSize*/,
                                                                   std::uint32_t* bytesReturned,
                                                                   std::uint32_t* completionStatus)
{
    if (context == nullptr || device == nullptr || bytesReturned == nullptr || completionStatus == nullptr) {
        return 0;
    }
    try {
        const auto reply = static_cast<Context*>(context)->watcher.Request(device, code);
        *bytesReturned = reply.bytesReturned;
        *completionStatus = reply.completionStatus;
        return reply.succeeded ? 1 : 0;
    } catch (...) {
        // Nothing may cross the C boundary; a failed request reads as 0.
        return 0;
    }
}
}
