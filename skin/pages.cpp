// The page table and the two routines around it: load_picture turns a bitmap resource into a
// memory device context, show_page draws a whole page into draw_dc with plain BitBlt copies.
#include "skin/pages.h"

Page pages[MAX_PAGES];
int32_t current_page;
HDC draw_dc;

HRESULT select_into_memory_dc(HWND window, HBITMAP bitmap, HDC* destination)
{
    // The window's device context only serves as the reference for the memory device context.
    HDC window_dc = GetDC(window);
    HDC dc = CreateCompatibleDC(window_dc);
    ReleaseDC(window, window_dc);
    *destination = dc;
    if (dc == NULL) {
        if (bitmap != NULL)
            DeleteObject(bitmap);
        return E_FAIL;
    }
    SelectObject(dc, bitmap);
    return S_OK;
}

HRESULT load_picture(HWND window, HINSTANCE instance, const char* name, HDC* destination)
{
    // A missing bitmap is not reported: the device context is made all the same.
    return select_into_memory_dc(window, LoadBitmapA(instance, name), destination);
}

void draw_picture(const Picture* picture)
{
    // draw_dc is read afresh for every copy: WM_PAINT may swap it while a page is being drawn.
    BitBlt(draw_dc, picture->x, picture->y, picture->width, picture->height, picture->dc, 0, 0,
           SRCCOPY);
}

void show_page(int32_t page_number)
{
    if (page_number < 0 || page_number >= MAX_PAGES)
        return;
    Page* page = &pages[page_number];
    for (uint32_t i = 0; i < page->picture_count; i++)
        draw_picture(&page->pictures[i]);
    // Page 1 lists the launcher window itself: UpdateWindow may re-enter WM_PAINT right here.
    for (uint32_t i = 0; i < page->window_count; i++) {
        ShowWindow(page->windows[i], SW_SHOW);
        UpdateWindow(page->windows[i]);
    }
    for (uint32_t i = 0; i < page->hotspot_count; i++)
        draw_picture(&page->hotspots[i].normal);
    SetFocus(page->focus);
}
