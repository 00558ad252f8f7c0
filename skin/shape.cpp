// shape_window: the Win32 side of the window shape. The walk over the pixels and the cache
// file's text live in region_runs and region_cache; this file reads the bitmap's pixels, builds
// the regions and hands the result to the window.
#include "skin/shape.h"

#include <stdio.h>

#include "skin/layout.h"
#include "skin/region_cache.h"
#include "skin/region_runs.h"

const char REGION_CACHE_TEMP_FILE[] = "qmkx.dat.tmp";

// Where the runs go: the collecting region, and during a scan the cache file being written.
struct RunSink {
    HRGN collected;
    FILE* cache;
};

static int32_t add_run(void* context, const region_run* run)
{
    RunSink* sink = (RunSink*)context;
    if (sink->cache != NULL && write_run_group(sink->cache, run) != 0) {
        // The cache is only an optimisation: stop writing it, keep shaping the window.
        fclose(sink->cache);
        sink->cache = NULL;
        remove(REGION_CACHE_TEMP_FILE);
    }
    HRGN piece = CreateRectRgn(run->left, run->top, run->right, run->row + 1);
    if (piece == NULL)
        return 1;
    int combined = CombineRgn(sink->collected, sink->collected, piece, RGN_OR);
    DeleteObject(piece);
    return combined == ERROR ? 1 : 0;
}

static uint32_t read_bitmap_pixel(void* context, int32_t x, int32_t y)
{
    return (uint32_t)GetPixel((HDC)context, x, y);
}

static int32_t read_cached_runs(FILE* cache, RunSink* sink)
{
    rewind(cache);
    region_run run;
    // Reading stops at the end and at the first group that cannot be read whole; the runs
    // read before it are used.
    while (read_run_group(cache, &run)) {
        if (add_run(sink, &run) != 0)
            return 1;
    }
    return 0;
}

// Scans the bitmap, writing the cache to a temporary file that replaces qmkx.dat only once the
// scan is complete: an interrupted scan never leaves a partial cache for later starts to trust.
static int32_t scan_bitmap(HDC bitmap_dc, int32_t width, int32_t height, RunSink* sink)
{
    sink->cache = fopen(REGION_CACHE_TEMP_FILE, "w");
    int32_t failed = scan_region_runs(width, height, read_bitmap_pixel, bitmap_dc, add_run, sink);
    if (sink->cache == NULL)
        return failed;
    int closed = fclose(sink->cache);
    sink->cache = NULL;
    if (failed || closed != 0 ||
        !MoveFileExA(REGION_CACHE_TEMP_FILE, REGION_CACHE_FILE, MOVEFILE_REPLACE_EXISTING))
        remove(REGION_CACHE_TEMP_FILE);
    return failed;
}

HRESULT shape_window(HWND window, HINSTANCE instance)
{
    HDC bitmap_dc = CreateCompatibleDC(NULL);
    HBITMAP bitmap = LoadBitmapA(instance, "#159");
    HGDIOBJ previous = SelectObject(bitmap_dc, bitmap);
    SIZE size = {0, 0};
    GetBitmapDimensionEx(bitmap, &size);
    if (size.cx == 0 && size.cy == 0) {
        size.cx = REGION_SCAN_WIDTH;
        size.cy = REGION_SCAN_HEIGHT;
    }

    HRGN shape = CreateRectRgn(REGION_INNER_LEFT, REGION_INNER_TOP, REGION_INNER_RIGHT,
                               REGION_INNER_BOTTOM);
    RunSink sink = {CreateRectRgn(0, 0, 0, 0), NULL};
    int32_t failed;
    FILE* cache = fopen(REGION_CACHE_FILE, "r");
    if (cache != NULL) {
        failed = read_cached_runs(cache, &sink);
        fclose(cache);
    } else {
        failed = scan_bitmap(bitmap_dc, size.cx, size.cy, &sink);
    }

    if (!failed && CombineRgn(shape, shape, sink.collected, RGN_OR) == ERROR)
        failed = 1;
    // From SetWindowRgn on, the region belongs to the window.
    if (!failed && SetWindowRgn(window, shape, TRUE) == 0)
        failed = 1;
    if (failed)
        DeleteObject(shape);
    DeleteObject(sink.collected);
    SelectObject(bitmap_dc, previous);
    DeleteDC(bitmap_dc);
    DeleteObject(bitmap);
    if (failed)
        return E_FAIL;
    build_skin(window, instance);
    return S_OK;
}
