// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/StatusDriverDevice.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace sarvendo::fakes {

// A scripted status driver: Open succeeds for the paths in presentPaths, each request
// code answers what the test put in answers (a missing code fails), and every request is
// recorded, so a test can count what one tick asked. ResetCounts starts a new tick.
class FakeStatusDriver final : public StatusDriverDevice
{
public:
    struct Call
    {
        std::int32_t handle;
        std::uint32_t code;
        std::uint32_t outBufferSize;
    };

    std::int32_t Open(const std::string& path) override
    {
        openedPaths.push_back(path);
        if (presentPaths.count(path) == 0 && !openAnyPath) {
            return -1;
        }
        openHandle = nextHandle++;
        if (journal != nullptr) {
            journal->emplace_back("OpenStatusDriver");
        }
        return openHandle;
    }

    void Close(std::int32_t handle) override
    {
        closedHandles.push_back(handle);
        if (journal != nullptr) {
            journal->emplace_back("ReleaseStatusDriver");
        }
        if (handle == openHandle) {
            openHandle = 0;
        }
    }

    Reply Request(std::int32_t handle, std::uint32_t code, std::uint32_t outBufferSize) override
    {
        calls.push_back({handle, code, outBufferSize});
        if (handle <= 0 || handle != openHandle) {
            return {};
        }
        const auto found = answers.find(code);
        if (found == answers.end()) {
            return {};
        }
        return found->second;
    }

    // Scripting helpers.
    void Answer(std::uint32_t code, std::uint32_t bytes, std::uint32_t status = 0, bool succeeded = true)
    {
        answers[code] = Reply{succeeded, bytes, status};
    }
    void Refuse(std::uint32_t code) { answers[code] = Reply{false, 0, 0}; }
    void SetPortOpen(bool open) { Answer(kQueryPortOpen, open ? 4 : 0); }

    int Count(std::uint32_t code) const
    {
        int n = 0;
        for (const auto& call : calls) {
            n += call.code == code ? 1 : 0;
        }
        return n;
    }
    std::vector<std::uint32_t> Codes() const
    {
        std::vector<std::uint32_t> codes;
        for (const auto& call : calls) {
            codes.push_back(call.code);
        }
        return codes;
    }
    void ResetCounts() { calls.clear(); }

    std::set<std::string> presentPaths;
    bool openAnyPath = false;
    std::map<std::uint32_t, Reply> answers;
    std::vector<Call> calls;
    std::vector<std::string> openedPaths;
    // When set, each successful open and each close is also noted here, in order with
    // whatever else a test notes.
    std::vector<std::string>* journal = nullptr;
    std::vector<std::int32_t> closedHandles;
    std::int32_t openHandle = 0;
    std::int32_t nextHandle = 7;
};

} // namespace sarvendo::fakes
