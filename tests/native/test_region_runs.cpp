// Tests of the row walk that turns the background bitmap into window runs: which pixels start,
// end and skip runs, the zero-width runs of the inner test area, the pixel reads, and stopping
// when a run is refused.
#include <gtest/gtest.h>

#include <stdint.h>

#include <utility>
#include <vector>

#include "skin/region_runs.h"

namespace {

// What the grey surround reads back as on a 24- or 32-bit display: close to the key colour
// but not equal to it.
const uint32_t PLAIN_GREY = 0x00818181u;

// A 533 x 488 bitmap that is plain grey except for the listed key-coloured pixels. Counts every
// read and every read outside the bitmap.
struct test_bitmap {
    std::vector<std::pair<int32_t, int32_t>> key_pixels;
    long reads = 0;
    long reads_outside = 0;
};

uint32_t read_test_pixel(void* context, int32_t x, int32_t y)
{
    test_bitmap* bitmap = static_cast<test_bitmap*>(context);
    ++bitmap->reads;
    if (x < 0 || x >= REGION_SCAN_WIDTH || y < 0 || y >= REGION_SCAN_HEIGHT) {
        ++bitmap->reads_outside;
    }
    for (const auto& p : bitmap->key_pixels) {
        if (p.first == x && p.second == y) {
            return KEY_COLOUR;
        }
    }
    return PLAIN_GREY;
}

// A bitmap whose whole row full_key_row is key-coloured.
struct key_row_bitmap {
    int32_t full_key_row;
};

uint32_t read_key_row_pixel(void* context, int32_t, int32_t y)
{
    return y == static_cast<key_row_bitmap*>(context)->full_key_row ? KEY_COLOUR : PLAIN_GREY;
}

struct run_list {
    std::vector<region_run> runs;
    size_t refuse_at = SIZE_MAX;  // index of the run that emit refuses
    int32_t refusal = -5;
};

int32_t collect_run(void* context, const region_run* run)
{
    run_list* list = static_cast<run_list*>(context);
    if (list->runs.size() == list->refuse_at) {
        return list->refusal;
    }
    list->runs.push_back(*run);
    return 0;
}

std::vector<region_run> runs_of_row(const std::vector<region_run>& runs, int32_t row)
{
    std::vector<region_run> out;
    for (const region_run& run : runs) {
        if (run.top == row) {
            out.push_back(run);
        }
    }
    return out;
}

// Runs of one row as (left, right) pairs, for compact expectations.
std::vector<std::pair<int32_t, int32_t>> spans(const std::vector<region_run>& runs)
{
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const region_run& run : runs) {
        out.push_back({run.left, run.right});
    }
    return out;
}

TEST(InInnerArea, EdgesAreInclusiveAndSigned)
{
    struct {
        int32_t x, y, expected;
    } cases[] = {
        {23, 35, 1},   {479, 485, 1}, {23, 485, 1},  {479, 35, 1},  {250, 250, 1},
        {22, 100, 0},  {480, 100, 0}, {100, 34, 0},  {100, 486, 0}, {478, 485, 1},
        {-1, 100, 0},  {100, -1, 0},  {INT32_MIN, INT32_MIN, 0},     {INT32_MAX, 100, 0},
        {0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, in_inner_area(c.x, c.y)) << "x " << c.x << " y " << c.y;
    }
}

TEST(ScanRegionRuns, RowsWithKeyPixels)
{
    typedef std::vector<std::pair<int32_t, int32_t>> pixel_list;
    typedef std::vector<std::pair<int32_t, int32_t>> span_list;
    struct {
        const char* what;
        pixel_list key_pixels;
        int32_t row;
        span_list expected;
    } cases[] = {
        {"no key pixel", {}, 200, {{0, 533}}},
        {"key at 399 above the inner area", {{399, 10}}, 10, {{0, 399}, {400, 533}}},
        {"key at 399 in the inner area", {{399, 200}}, 200, {{0, 399}, {400, 533}}},
        {"keys at 477 and 478: zero-width run at 478", {{477, 100}, {478, 100}}, 100,
         {{0, 477}, {478, 478}, {479, 533}}},
        {"key at 478 alone only ends the first run", {{478, 100}}, 100, {{0, 478}, {479, 533}}},
        {"key at (10,10) outside the inner area", {{10, 10}}, 10, {{0, 10}, {11, 533}}},
        {"key outside the inner area after a run's end writes nothing", {{10, 10}, {11, 10}}, 10,
         {{0, 10}, {12, 533}}},
        {"key at column 0 outside the inner area", {{0, 10}}, 10, {{1, 533}}},
        {"key after a run's end inside the inner area: zero-width", {{30, 100}, {31, 100}}, 100,
         {{0, 30}, {31, 31}, {32, 533}}},
        {"three keys inside: each after the first is its own zero-width run",
         {{30, 100}, {31, 100}, {32, 100}}, 100, {{0, 30}, {31, 31}, {32, 32}, {33, 533}}},
        {"keys at 479 and 480: 480 is outside the inner test area", {{479, 100}, {480, 100}}, 100,
         {{0, 479}, {481, 533}}},
        {"keys at 478 and 479: 479 is inside the inner test area", {{478, 100}, {479, 100}}, 100,
         {{0, 478}, {479, 479}, {480, 533}}},
        {"keys at 22 and 23: 23 starts a zero-width run", {{22, 100}, {23, 100}}, 100,
         {{0, 22}, {23, 23}, {24, 533}}},
        {"row 485 is in the inner test area", {{100, 485}, {101, 485}}, 485,
         {{0, 100}, {101, 101}, {102, 533}}},
        {"row 486 is not", {{100, 486}, {101, 486}}, 486, {{0, 100}, {102, 533}}},
        {"row 34 is not", {{100, 34}, {101, 34}}, 34, {{0, 100}, {102, 533}}},
        {"key in the last column", {{532, 300}}, 300, {{0, 532}}},
        {"key in the last two columns", {{531, 300}, {532, 300}}, 300, {{0, 531}}},
        {"keys in other rows do not touch this one", {{5, 99}, {5, 101}}, 100, {{0, 533}}},
    };
    for (const auto& c : cases) {
        test_bitmap bitmap;
        bitmap.key_pixels = c.key_pixels;
        run_list list;
        ASSERT_EQ(0, scan_region_runs(REGION_SCAN_WIDTH, REGION_SCAN_HEIGHT, read_test_pixel,
                                      &bitmap, collect_run, &list))
            << c.what;
        std::vector<region_run> row = runs_of_row(list.runs, c.row);
        EXPECT_EQ(c.expected, spans(row)) << c.what;
        for (const region_run& run : row) {
            EXPECT_EQ(c.row, run.row) << c.what;
        }
        EXPECT_EQ(0, bitmap.reads_outside) << c.what;
    }
}

TEST(ScanRegionRuns, WholeKeyRow)
{
    // Outside the inner test area a key-coloured row gives no run at all.
    {
        key_row_bitmap bitmap = {0};
        run_list list;
        ASSERT_EQ(0, scan_region_runs(REGION_SCAN_WIDTH, REGION_SCAN_HEIGHT, read_key_row_pixel,
                                      &bitmap, collect_run, &list));
        EXPECT_TRUE(runs_of_row(list.runs, 0).empty());
        EXPECT_EQ(REGION_SCAN_HEIGHT - 1, static_cast<int>(list.runs.size()));
    }
    // Inside it, every column 23..479 gives its own zero-width run and nothing else does.
    {
        key_row_bitmap bitmap = {100};
        run_list list;
        ASSERT_EQ(0, scan_region_runs(REGION_SCAN_WIDTH, REGION_SCAN_HEIGHT, read_key_row_pixel,
                                      &bitmap, collect_run, &list));
        std::vector<region_run> row = runs_of_row(list.runs, 100);
        ASSERT_EQ(479u - 23u + 1u, row.size());
        for (size_t i = 0; i < row.size(); ++i) {
            EXPECT_EQ(static_cast<int32_t>(23 + i), row[i].left);
            EXPECT_EQ(row[i].left, row[i].right);
        }
    }
}

TEST(ScanRegionRuns, FullRectangleWithoutKeyPixelsInScanOrder)
{
    test_bitmap bitmap;
    run_list list;
    ASSERT_EQ(0, scan_region_runs(REGION_SCAN_WIDTH, REGION_SCAN_HEIGHT, read_test_pixel, &bitmap,
                                  collect_run, &list));
    ASSERT_EQ(488u, list.runs.size());
    for (int32_t y = 0; y < REGION_SCAN_HEIGHT; ++y) {
        const region_run& run = list.runs[static_cast<size_t>(y)];
        EXPECT_EQ(0, run.left);
        EXPECT_EQ(y, run.top);
        EXPECT_EQ(533, run.right);
        EXPECT_EQ(y, run.row);
    }
}

TEST(ScanRegionRuns, ReadsEveryPixelOnceAndTheFirstOfEachRunTwice)
{
    const std::vector<std::pair<int32_t, int32_t>> layouts[] = {
        {},
        {{477, 100}, {478, 100}},
        {{0, 0}, {532, 0}, {10, 10}, {11, 10}, {100, 485}, {101, 485}, {532, 487}},
    };
    for (const auto& layout : layouts) {
        test_bitmap bitmap;
        bitmap.key_pixels = layout;
        run_list list;
        ASSERT_EQ(0, scan_region_runs(REGION_SCAN_WIDTH, REGION_SCAN_HEIGHT, read_test_pixel,
                                      &bitmap, collect_run, &list));
        EXPECT_EQ(533L * 488L + static_cast<long>(list.runs.size()), bitmap.reads);
        EXPECT_EQ(0, bitmap.reads_outside);
    }
}

TEST(ScanRegionRuns, StopsAtTheFirstRefusedRun)
{
    test_bitmap bitmap;
    bitmap.key_pixels = {{100, 1}};
    run_list list;
    list.refuse_at = 3;  // runs: row 0, row 1 left, row 1 right, then row 2 is refused
    EXPECT_EQ(-5, scan_region_runs(REGION_SCAN_WIDTH, REGION_SCAN_HEIGHT, read_test_pixel,
                                   &bitmap, collect_run, &list));
    ASSERT_EQ(3u, list.runs.size());
    EXPECT_EQ(101, list.runs[2].left);
    // Nothing of the rows after the refused run was read.
    EXPECT_LT(bitmap.reads, 533L * 4);
}

TEST(ScanRegionRuns, EmptyAreaGivesNoRunsAndNoReads)
{
    test_bitmap bitmap;
    run_list list;
    EXPECT_EQ(0, scan_region_runs(0, REGION_SCAN_HEIGHT, read_test_pixel, &bitmap, collect_run,
                                  &list));
    EXPECT_EQ(0, scan_region_runs(REGION_SCAN_WIDTH, 0, read_test_pixel, &bitmap, collect_run,
                                  &list));
    EXPECT_TRUE(list.runs.empty());
    EXPECT_EQ(0, bitmap.reads);
}

}  // namespace
