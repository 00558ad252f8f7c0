// Arithmetic of the processor clock measurement, kept apart from the instructions that read the
// counter so that it can be checked on any number.
#pragma once

#include <stdint.h>

enum {
    CPU_MEASURE_INTERVAL_MS = 1000,
    CPU_TICKS_PER_MHZ = 1000000,
    CPU_SLOW_MHZ = 200,
};

// Counter ticks over the one-second interval to whole MHz. The difference is taken over all 64
// bits: a counter that advances by 2^32 ticks or more in a second (4,295 MHz and up) must not
// wrap into a small number and make a fast processor look slow.
inline uint32_t cpu_mhz_from_counter(uint64_t start, uint64_t end)
{
    uint64_t mhz = (end - start) / CPU_TICKS_PER_MHZ;
    return mhz > UINT32_MAX ? UINT32_MAX : (uint32_t)mhz;
}

// 200 MHz itself passes.
inline int cpu_clock_is_slow(uint32_t mhz)
{
    return mhz < (uint32_t)CPU_SLOW_MHZ;
}
