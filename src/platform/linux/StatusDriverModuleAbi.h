// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The C interface between the program and the status driver module SARVEN95.VXD. The
// program loads the module when it opens the driver and unloads it when it closes it;
// the module keeps no state outside the context it creates.
extern "C" {

// Bumped whenever a signature below changes; the program refuses other versions.
inline constexpr int kStatusDriverAbiVersion = 1;

using SarvendoDriverAbiVersionFn = int (*)();
using SarvendoDriverCreateFn = void* (*)();
using SarvendoDriverDestroyFn = void (*)(void* context);
// Answers one request for the watched device; returns 1 on success, 0 on failure.
using SarvendoDriverRequestFn = int (*)(void* context, const char* device, std::uint32_t code,
                                        std::uint32_t outBufferSize, std::uint32_t* bytesReturned,
                                        std::uint32_t* completionStatus);
}

inline constexpr const char* kSarvendoDriverAbiVersionSymbol = "sarvendo_driver_abi_version";
inline constexpr const char* kSarvendoDriverCreateSymbol = "sarvendo_driver_create";
inline constexpr const char* kSarvendoDriverDestroySymbol = "sarvendo_driver_destroy";
inline constexpr const char* kSarvendoDriverRequestSymbol = "sarvendo_driver_request";
