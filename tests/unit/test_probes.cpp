// The start-up probes on the real platform, and the arithmetic of the clock measurement.
#include <gtest/gtest.h>

#include "launcher/probes.h"

TEST(cpu_clock, counter_difference_to_mhz)
{
    struct {
        uint64_t start, end;
        uint32_t mhz;
    } cases[] = {
        {0, 1000000000ull, 1000},               // 1 GHz
        {5, 5 + 199999999ull, 199},             // truncates, never rounds up
        {0, 200000000ull, 200},
        {0xfffffff0ull, 0xfffffff0ull + 3000000000ull, 3000},  // crosses 2^32
        // 5 GHz: 5e9 ticks is more than 2^32; the old 32-bit difference would say 705 MHz.
        {123, 123 + 5000000000ull, 5000},
        {0x1234567800000000ull, 0x1234567800000000ull + 4295000000ull, 4295},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cpu_mhz_from_counter(c.start, c.end), c.mhz) << c.start << " .. " << c.end;
}

TEST(cpu_clock, slow_threshold_is_200_mhz)
{
    EXPECT_FALSE(cpu_clock_is_slow(200));
    EXPECT_TRUE(cpu_clock_is_slow(199));
    EXPECT_TRUE(cpu_clock_is_slow(0));
    EXPECT_FALSE(cpu_clock_is_slow(4000));
}

TEST(probes, directx_7_is_found)
{
    EXPECT_EQ(probe_directx(), S_OK);
}

TEST(probes, measures_the_clock_over_one_second)
{
    uint32_t mhz = 0;
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    ASSERT_EQ(measure_cpu_mhz(&mhz), S_OK);
    QueryPerformanceCounter(&after);
    double elapsed_ms = 1000.0 * (double)(after.QuadPart - before.QuadPart) / (double)frequency.QuadPart;
    // A full second of busy waiting, give or take the runtime clock's granularity.
    EXPECT_GE(elapsed_ms, 980.0);
    EXPECT_LT(elapsed_ms, 5000.0);
    // Any processor that runs this test counts more than 200 million ticks a second.
    EXPECT_GE(mhz, 200u);
}
