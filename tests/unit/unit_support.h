// Shared helpers of the Windows unit tests: pumping messages, solid-colour pictures in memory
// device contexts, and pixel checks that report the caller's file and line.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "skin/pages.h"

// Sets the launcher's title and class name as start-up loads them.
void load_launcher_strings(void);
// Dispatches every pending message of this thread.
void pump_messages(void);
// Registers the class and creates the (hidden) launcher window; fails the test on error.
HWND make_launcher_window(void);
// Destroys the launcher window and unregisters its class, as an episode launch does.
void drop_launcher_window(void);

// A memory device context holding a width x height bitmap filled with one colour.
HDC make_solid_dc(int32_t width, int32_t height, COLORREF colour);
void delete_memory_dc(HDC dc);
Picture solid_picture(int32_t x, int32_t y, int32_t width, int32_t height, COLORREF colour);

// Clears every page of the table (releasing nothing: tests own their device contexts).
void clear_page_table(void);

void expect_pixel_(const char* file, int line, HDC dc, int32_t x, int32_t y, COLORREF expected);
#define expect_pixel(dc, x, y, expected) expect_pixel_(__FILE__, __LINE__, dc, x, y, expected)
