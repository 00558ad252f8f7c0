// The launcher's shell: start-up, the two-level message loop, the window class, the window and
// its window procedure.
#pragma once

#include <windows.h>
#include <stdint.h>

enum {
    LAUNCHER_WIDTH = 533,
    LAUNCHER_HEIGHT = 488,
    STRING_WINDOW_TITLE = 103,
    STRING_WINDOW_CLASS = 109,
    ICON_LAUNCHER = 190,
    ICON_LAUNCHER_SMALL = 108,  // no such icon: the small icon comes from the group
    TEXT_SIZE = 100,
};

// Start-up and message loop.
extern int32_t keep_running;
extern int32_t quit_on_destroy;
extern HINSTANCE app_instance;
extern char window_title[TEXT_SIZE];
extern char window_class_name[TEXT_SIZE];

// The window.
extern HWND main_window;
extern HCURSOR arrow_cursor;
extern HCURSOR hand_cursor;

// The whole start-up sequence and message loop; the result is the process exit code.
int launcher_main(HINSTANCE instance);
// Runs passes of the message loop until a WM_QUIT arrives while keep_running is clear.
int run_message_loop(void);

void register_launcher_class(HINSTANCE instance);
int create_launcher_window(HINSTANCE instance);
LRESULT CALLBACK launcher_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Where the window's top-left corner goes on a screen of the given size: centred, with the
// division truncating toward zero (a screen narrower than the window gives a negative edge).
POINT launcher_window_origin(int32_t screen_width, int32_t screen_height);
