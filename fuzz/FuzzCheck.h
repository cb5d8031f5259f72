#pragma once

#include <cstdio>
#include <cstdlib>

namespace sarvendo::fuzz {

// Stops the run with a message when a promise of the code under test does not hold, so
// that libFuzzer keeps the input that broke it.
inline void Check(bool holds, const char* promise)
{
    if (!holds) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

} // namespace sarvendo::fuzz
