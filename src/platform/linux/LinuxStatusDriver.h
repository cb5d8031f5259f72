// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/StatusDriverDevice.h"
#include "platform/linux/SystemCalls.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace sarvendo {

// The status driver on Linux: Open loads the module file (SARVEN95.VXD) found at the
// path, Close unloads it, and each request goes to the module together with the device
// of the monitored port, which the module watches. A missing file, a file that is not a
// module or a module of another interface version fail the open (-1).
class LinuxStatusDriver final : public StatusDriverDevice
{
public:
    LinuxStatusDriver(SystemCalls& system, std::function<std::string()> watchedDevice);
    ~LinuxStatusDriver() override;
    LinuxStatusDriver(const LinuxStatusDriver&) = delete;
    LinuxStatusDriver& operator=(const LinuxStatusDriver&) = delete;

    std::int32_t Open(const std::string& path) override;
    void Close(std::int32_t handle) override;
    Reply Request(std::int32_t handle, std::uint32_t code, std::uint32_t outBufferSize) override;

    // Why the last open failed, for diagnostics ("cannot load: ...").
    const std::string& LastError() const { return m_lastError; }

private:
    struct Module;

    SystemCalls& m_system;
    std::function<std::string()> m_watchedDevice;
    std::map<std::int32_t, std::unique_ptr<Module>> m_modules;
    std::int32_t m_nextHandle = 1;
    std::string m_lastError;
};

} // namespace sarvendo
