// The walk over the background bitmap that turns its non-key pixels into runs of the window
// region (see region_runs.h). Pixels come from and runs go to callbacks.
#include "skin/region_runs.h"

int32_t in_inner_area(int32_t x, int32_t y)
{
    if (x >= REGION_INNER_TEST_LEFT && x <= REGION_INNER_TEST_RIGHT &&
        y >= REGION_INNER_TEST_TOP && y <= REGION_INNER_TEST_BOTTOM) {
        return 1;
    }
    return 0;
}

int32_t scan_region_runs(int32_t width, int32_t height,
                         region_read_pixel_fn read_pixel, void* pixel_context,
                         region_emit_run_fn emit_run, void* emit_context)
{
    for (int32_t y = 0; y < height; ++y) {
        int32_t x = 0;
        while (x < width) {
            if (read_pixel(pixel_context, x, y) != KEY_COLOUR || in_inner_area(x, y)) {
                region_run run;
                run.left = x;
                run.top = y;
                // The first pixel is read again here: a key-coloured pixel that got in through
                // the inner test area ends its own run at once.
                while (x < width && read_pixel(pixel_context, x, y) != KEY_COLOUR) {
                    ++x;
                }
                run.right = x;
                run.row = y;
                int32_t status = emit_run(emit_context, &run);
                if (status != 0) {
                    return status;
                }
            }
            // After a run x stands on the pixel that ended it; that pixel is not looked at again.
            ++x;
        }
    }
    return 0;
}
