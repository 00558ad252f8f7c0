// The window's shape as horizontal runs: every row of the background bitmap is walked left to
// right and each stretch of pixels that is not the key colour becomes one run of the window
// region. Only the walk lives here; reading pixels and building regions are left to callbacks,
// so the walk builds and is tested without windows.h.
#pragma once

#include <stdint.h>

// A pixel whose colour reads back as exactly this value (0x00BBGGRR, RGB(132,130,132)) is cut
// away from the window unless the inner rectangle covers it.
const uint32_t KEY_COLOUR = 0x00848284u;

enum {
    // The pixels examined: columns 0..532, rows 0..487.
    REGION_SCAN_WIDTH = 533,
    REGION_SCAN_HEIGHT = 488,

    // Always part of the window; right and bottom exclusive (pixels x 23..477, y 35..484).
    REGION_INNER_LEFT = 23,
    REGION_INNER_TOP = 35,
    REGION_INNER_RIGHT = 478,
    REGION_INNER_BOTTOM = 485,

    // A pixel in here starts a run even when it has the key colour; all four sides inclusive.
    // It reaches two columns and one row beyond the inner rectangle.
    REGION_INNER_TEST_LEFT = 23,
    REGION_INNER_TEST_TOP = 35,
    REGION_INNER_TEST_RIGHT = 479,
    REGION_INNER_TEST_BOTTOM = 485,
};

// One run: columns left..right-1 of one row. top and row both hold the row; the region's
// rectangle is left, top, right, row + 1. left == right is a zero-width run that adds nothing.
struct region_run {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t row;
};

// Returns the colour of pixel (x, y) as 0x00BBGGRR.
typedef uint32_t (*region_read_pixel_fn)(void* context, int32_t x, int32_t y);

// Takes one run; returns 0 to go on and nonzero to stop the scan.
typedef int32_t (*region_emit_run_fn)(void* context, const region_run* run);

// 1 when 23 <= x <= 479 and 35 <= y <= 485, else 0.
int32_t in_inner_area(int32_t x, int32_t y);

// Walks rows 0..height-1, each from x = 0 while x < width, and hands every run to emit_run in
// order (top to bottom, left to right). A run starts at a pixel that is not the key colour or
// that lies in the inner test area, and grows while the pixel is not the key colour and
// x < width; right is the column that ended it. A key-coloured pixel that started a run only
// because of the inner test area gives a zero-width run. The pixel that ended a run is skipped,
// so a key-coloured pixel right after a run never starts a run of its own.
// Reads every pixel once, the first pixel of each run twice, and never outside 0..width-1,
// 0..height-1. Returns 0 after the whole area, or the first nonzero value emit_run returned
// (the scan stops there).
int32_t scan_region_runs(int32_t width, int32_t height,
                         region_read_pixel_fn read_pixel, void* pixel_context,
                         region_emit_run_fn emit_run, void* emit_context);
