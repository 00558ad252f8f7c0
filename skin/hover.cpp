// Hit testing and hover feedback for the hotspots of the current page.
#include "skin/hover.h"

#include <windowsx.h>

#include "launcher/launcher.h"
#include "skin/pages.h"

int32_t hover_index = -1;
int32_t last_mouse_x;
int32_t last_mouse_y;

int32_t hit_test(int32_t page_number, int32_t x, int32_t y)
{
    if (page_number < 0 || page_number >= MAX_PAGES)
        return -1;
    const Page* page = &pages[page_number];
    // Where hotspots overlap, the lowest index wins.
    for (uint32_t i = 0; i < page->hotspot_count; i++) {
        const Hotspot* h = &page->hotspots[i];
        if (h->left <= x && x <= h->right && h->top <= y && y <= h->bottom && h->enabled != 0)
            return (int32_t)i;
    }
    return -1;
}

static void draw_normal_except(const Page* page, int32_t skipped)
{
    for (uint32_t i = 0; i < page->hotspot_count; i++) {
        if ((int32_t)i != skipped)
            draw_picture(&page->hotspots[i].normal);
    }
}

void update_hover(int32_t over_hotspot, int32_t index)
{
    if (current_page < 0 || current_page >= MAX_PAGES)
        return;
    const Page* page = &pages[current_page];
    if (over_hotspot) {
        // The hand is set only when the hotspot under the pointer changes.
        if (index == hover_index)
            return;
        SetCursor(hand_cursor);
        draw_normal_except(page, index);
        draw_picture(&page->hotspots[index].hover);
        return;
    }
    // Outside the hotspots the arrow is set on every call, but the page is redrawn only once.
    SetCursor(arrow_cursor);
    if (index == hover_index)
        return;
    draw_normal_except(page, index);
}

LRESULT on_nc_hit_test(HWND window, LPARAM position)
{
    // WM_NCHITTEST carries screen coordinates, signed: a monitor left of or above the primary
    // one has negative ones.
    RECT frame;
    GetWindowRect(window, &frame);
    int32_t x = GET_X_LPARAM(position) - frame.left;
    int32_t y = GET_Y_LPARAM(position) - frame.top;
    int32_t i = hit_test(current_page, x, y);
    if (i == -1) {
        update_hover(0, -1);
        hover_index = -1;
        return HTCAPTION;  // the system drags the window from here
    }
    update_hover(1, i);
    hover_index = i;
    return HTCLIENT;
}

LRESULT on_mouse_move(LPARAM position)
{
    last_mouse_x = GET_X_LPARAM(position);
    last_mouse_y = GET_Y_LPARAM(position);
    int32_t i = hit_test(current_page, last_mouse_x, last_mouse_y);
    update_hover(i != -1, i);
    hover_index = i;
    return 0;
}
