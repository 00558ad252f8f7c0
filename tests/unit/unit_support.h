// Shared helpers of the Windows unit tests: pumping messages, solid-colour pictures in memory
// device contexts, and pixel checks that report the caller's file and line.
#pragma once

#include <windows.h>
#include <stdint.h>

#include <string>

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

// Counts the pixels of the picture's place in target that differ from the picture's own image
// (taken from (0,0) of its device context). 0 means the picture is shown there exactly.
uint32_t picture_mismatches(HDC target, const Picture* picture);
void expect_picture_shown_(const char* file, int line, HDC target, const Picture* picture,
                           const char* what);
#define expect_picture_shown(target, picture, what) \
    expect_picture_shown_(__FILE__, __LINE__, target, picture, what)

// The cursor of this thread, compared by handle; the names only make the failure readable.
void expect_cursor_(const char* file, int line, HCURSOR expected, const char* expected_name);
#define expect_cursor(expected, expected_name) \
    expect_cursor_(__FILE__, __LINE__, expected, expected_name)
// The cursor tests set before a call, to see whether the call set another one.
HCURSOR sentinel_cursor(void);

// A fresh empty folder under the system's temporary folder, made the current directory; the
// previous current directory is kept and restored by leave_work_folder, which also removes
// the folder's files (one level deep) and the folder.
void enter_work_folder(const char* tag);
void leave_work_folder(void);
const char* work_folder(void);

// Polls cond() every 10 ms until it is true or limit_ms have passed; returns its last value.
int wait_until(int (*cond)(void), DWORD limit_ms);

// Counts the pixels of a width x height area, from (0,0), that differ between two device
// contexts.
uint32_t dc_mismatches(HDC dc, HDC reference, int32_t width, int32_t height);
// Compares a Picture's image with a bitmap resource of the launcher, loaded afresh; fails the
// caller's test when the size or any pixel differs.
void expect_resource_image_(const char* file, int line, const Picture* picture, const char* name);
#define expect_resource_image(picture, name) \
    expect_resource_image_(__FILE__, __LINE__, picture, name)

// Gives back everything the skin holds: empties the page table and the episode slots so that
// every recorded device context is released, and deletes the font.
void release_skin(void);

// Copies the test episode module <build folder>/fixtures/<fixture>.dll into the work folder as
// chaptr<number>.dll, where LoadLibraryA by bare name finds it (the test program's own folder
// holds no such file).
void install_fixture_(const char* file, int line, const char* fixture, int number);
#define install_fixture(fixture, number) install_fixture_(__FILE__, __LINE__, fixture, number)
// The row image colours of the test modules.
static const COLORREF FIXTURE_ACT_COLOUR = RGB(255, 128, 0);
static const COLORREF FIXTURE_DIS_COLOUR = RGB(0, 128, 255);

// The whole file, read in binary; 0 when it cannot be opened (text left empty).
int read_whole_file(const char* name, std::string* text);
