// Hit testing and hover feedback: hotspots light up under the pointer, and every other point of
// the window answers as a caption so that the borderless window can be dragged.
#pragma once

#include <windows.h>
#include <stdint.h>

extern int32_t hover_index;
extern int32_t last_mouse_x;
extern int32_t last_mouse_y;

int32_t hit_test(int32_t page_number, int32_t x, int32_t y);
void update_hover(int32_t over_hotspot, int32_t index);

LRESULT on_nc_hit_test(HWND window, LPARAM position);
LRESULT on_mouse_move(LPARAM position);
