// The window's shape: the background bitmap's key-coloured pixels are cut away, the inner
// rectangle always stays, and the runs are cached in qmkx.dat so that only the first start in a
// directory scans the bitmap. Ends by building the skin.
#pragma once

#include <windows.h>

extern const char REGION_CACHE_TEMP_FILE[];

HRESULT shape_window(HWND window, HINSTANCE instance);
