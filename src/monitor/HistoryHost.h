// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace sarvendo {

// What the poll cycle tells the connection history: the carrier and ring edges it
// detects and the session's byte counts after every tick. The application implements it
// around the history's store; the engine never sees the store, and each call must return
// at once, since it runs inside the tick.
class HistoryHost
{
public:
    virtual ~HistoryHost() = default;

    // The connect edge, before the session's counters start from 0.
    virtual void CarrierRose() = 0;

    // The disconnect edge, with the session's last counts and speed text.
    virtual void CarrierFell(std::int64_t sent, std::int64_t received, const std::string& speed) = 0;

    // A rising edge of the ring indicator.
    virtual void RingRose() = 0;

    // The end of every tick: the session's counts so far while the carrier is present.
    virtual void Counted(bool carrier, std::int64_t sent, std::int64_t received, const std::string& speed) = 0;
};

// For a poll cycle whose history is not kept (tests, tools).
class NoHistory final : public HistoryHost
{
public:
    void CarrierRose() override {}
    void CarrierFell(std::int64_t /*sent*/, std::int64_t /*received*/, const std::string& /*speed*/) override {}
    void RingRose() override {}
    void Counted(bool /*carrier*/, std::int64_t /*sent*/, std::int64_t /*received*/,
                 const std::string& /*speed*/) override
    {
    }
};

} // namespace sarvendo
