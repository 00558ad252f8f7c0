// The page table: every screen of the launcher is a page of pictures, child windows and
// hotspots in one fixed table in static storage. The layout writes whole pages into it; hit
// testing, hover feedback, the actions and painting read it.
#pragma once

#include <windows.h>
#include <stdint.h>

enum {
    MAX_PAGES = 10,
    MAX_PAGE_WINDOWS = 16,
    MAX_HOTSPOTS = 32,
    MAX_PICTURES = 16,
};

enum {
    PAGE_MAIN = 1,
    PAGE_EPISODES = 2,
    PAGE_NEWS = 3,
};

// Action codes of a hotspot. Codes 7, 23 and 24 all open a document with the shell.
enum {
    ACT_RUN_EPISODE = 2,
    ACT_OPEN = 7,
    ACT_OPEN_2 = 23,
    ACT_OPEN_3 = 24,
    ACT_COMMAND = 8,
    ACT_GOTO_PAGE = 17,
};

// Command codes carried by ACT_COMMAND hotspots.
enum {
    CMD_EPISODE_1 = 18,
    CMD_EPISODE_2 = 19,
    CMD_EPISODE_3 = 20,
    CMD_EPISODE_4 = 21,
    CMD_EPISODE_5 = 22,
    CMD_RUN_SELECTED = 25,
    CMD_QUIT = 242,
};

// One bitmap ready to be copied to the window: always taken from (0,0) of its device context.
struct Picture {
    HDC dc;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// A clickable rectangle, all four edges inclusive. The argument is a page number, a command code
// or a constant document string, depending on the action.
struct Hotspot {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    int32_t action;
    intptr_t argument;
    int32_t enabled;
    Picture hover;
    Picture normal;
};

struct Page {
    uint32_t window_count;
    HWND windows[MAX_PAGE_WINDOWS];
    HWND focus;
    uint32_t hotspot_count;
    Hotspot hotspots[MAX_HOTSPOTS];
    uint32_t picture_count;
    Picture pictures[MAX_PICTURES];
};

extern Page pages[MAX_PAGES];
extern int32_t current_page;
extern HDC draw_dc;

HRESULT load_picture(HWND window, HINSTANCE instance, const char* name, HDC* destination);
// Makes a memory device context compatible with the window's, stores it at destination (also
// when null) and selects the bitmap into it; E_FAIL, with the bitmap deleted, when none is made.
HRESULT select_into_memory_dc(HWND window, HBITMAP bitmap, HDC* destination);
void show_page(int32_t page_number);

// Copies one picture into draw_dc at its place; a null device context draws nothing.
void draw_picture(const Picture* picture);
