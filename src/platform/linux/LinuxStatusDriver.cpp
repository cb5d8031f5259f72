// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxStatusDriver.h"

#include "platform/TickPath.h"
#include "platform/linux/StatusDriverModuleAbi.h"

#include <dlfcn.h>
#include <memory>

namespace sarvendo {

struct LinuxStatusDriver::Module
{
    void* library = nullptr;
    void* context = nullptr;
    SarvendoDriverDestroyFn destroy = nullptr;
    SarvendoDriverRequestFn request = nullptr;
};

namespace {

template <typename Function> Function Symbol(void* library, const char* name)
{
    // The only way from dlsym's object pointer to a function pointer.
    return reinterpret_cast<Function>(::dlsym(library, name));
}

} // namespace

LinuxStatusDriver::LinuxStatusDriver(SystemCalls& system, std::function<std::string()> watchedDevice)
    : m_system(system), m_watchedDevice(std::move(watchedDevice))
{
}

LinuxStatusDriver::~LinuxStatusDriver()
{
    while (!m_modules.empty()) {
        Close(m_modules.begin()->first);
    }
}

std::int32_t LinuxStatusDriver::Open(const std::string& path)
{
    // A name without a directory would be searched for along the library path, where some
    // other file of that name may lie.
    if (path.empty() || path.front() != '/') {
        m_lastError = "the status driver's path is not absolute: " + path;
        return -1;
    }
    const auto status = m_system.StatusOf(path);
    if (!status) {
        m_lastError = "no such file: " + path;
        return -1;
    }
    // Loading a FIFO would wait for a writer for ever.
    if (status->kind != FileKind::Regular) {
        m_lastError = path + " is not a regular file";
        return -1;
    }
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        m_lastError = why != nullptr ? why : "cannot load " + path;
        return -1;
    }
    const auto version = Symbol<SarvendoDriverAbiVersionFn>(library, kSarvendoDriverAbiVersionSymbol);
    const auto create = Symbol<SarvendoDriverCreateFn>(library, kSarvendoDriverCreateSymbol);
    auto module = std::make_unique<Module>();
    module->library = library;
    module->destroy = Symbol<SarvendoDriverDestroyFn>(library, kSarvendoDriverDestroySymbol);
    module->request = Symbol<SarvendoDriverRequestFn>(library, kSarvendoDriverRequestSymbol);
    if (version == nullptr || create == nullptr || module->destroy == nullptr || module->request == nullptr ||
        version() != kStatusDriverAbiVersion) {
        m_lastError = path + " is not a status driver of this version";
        ::dlclose(library);
        return -1;
    }
    module->context = create();
    if (module->context == nullptr) {
        m_lastError = "the status driver could not start";
        ::dlclose(library);
        return -1;
    }
    const std::int32_t handle = m_nextHandle++;
    m_modules[handle] = std::move(module);
    m_lastError.clear();
    return handle;
}

void LinuxStatusDriver::Close(std::int32_t handle)
{
    const auto found = m_modules.find(handle);
    if (found == m_modules.end()) {
        return;
    }
    std::unique_ptr<Module> module = std::move(found->second);
    m_modules.erase(found);
    module->destroy(module->context);
    ::dlclose(module->library);
}

SARVENDO_TICK_PATH StatusDriverDevice::Reply LinuxStatusDriver::Request(std::int32_t handle, std::uint32_t code,
                                                                        std::uint32_t outBufferSize)
{
    const auto found = m_modules.find(handle);
    if (found == m_modules.end()) {
        return {};
    }
    const std::string device = m_watchedDevice ? m_watchedDevice() : std::string();
    Reply reply;
    reply.succeeded = found->second->request(found->second->context, device.c_str(), code, outBufferSize,
                                             &reply.bytesReturned, &reply.completionStatus) != 0;
    return reply;
}

} // namespace sarvendo
