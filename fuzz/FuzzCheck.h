#pragma once

// What a fuzz target does when a property does not hold: say which and stop, so
// libFuzzer keeps the input as a crash.

#include <cstdio>
#include <cstdlib>

#define VPX_FUZZ_CHECK(condition)                                                                  \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
