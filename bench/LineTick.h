#pragma once

#include "line/LineSession.h"

#include <benchmark/benchmark.h>
#include <string>

namespace sarvendo {

// The line requests one poll tick makes, as the poll cycle makes them.
inline void AskAsOneTickDoes(LineSession& session)
{
    if (session.QueryPortOpen()) {
        benchmark::DoNotOptimize(session.ReadLineStatus());
    }
    benchmark::DoNotOptimize(session.ReadDialUpCounters());
    benchmark::DoNotOptimize(session.ReadDriverByteCounts(0, 0));
    benchmark::DoNotOptimize(session.ReadModemControl());
    std::string text;
    session.FormatCommParameters(text);
    benchmark::DoNotOptimize(text);
}

} // namespace sarvendo
