// Shared helpers of the Windows unit tests.
#include "unit_support.h"

#include <gtest/gtest.h>
#include <string.h>

#include "launcher/launcher.h"

void load_launcher_strings(void)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    ASSERT_GT(LoadStringA(instance, STRING_WINDOW_TITLE, window_title, TEXT_SIZE), 0);
    ASSERT_GT(LoadStringA(instance, STRING_WINDOW_CLASS, window_class_name, TEXT_SIZE), 0);
}

void pump_messages(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND make_launcher_window(void)
{
    load_launcher_strings();
    HINSTANCE instance = GetModuleHandleA(NULL);
    register_launcher_class(instance);
    EXPECT_EQ(create_launcher_window(instance), 1) << "error " << GetLastError();
    return main_window;
}

void drop_launcher_window(void)
{
    DestroyWindow(main_window);
    UnregisterClassA(window_class_name, GetModuleHandleA(NULL));
}

HDC make_solid_dc(int32_t width, int32_t height, COLORREF colour)
{
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(NULL, screen);
    SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    return dc;
}

void delete_memory_dc(HDC dc)
{
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

Picture solid_picture(int32_t x, int32_t y, int32_t width, int32_t height, COLORREF colour)
{
    Picture picture = {make_solid_dc(width, height, colour), x, y, width, height};
    return picture;
}

void clear_page_table(void)
{
    memset(pages, 0, sizeof(pages));
}

void expect_pixel_(const char* file, int line, HDC dc, int32_t x, int32_t y, COLORREF expected)
{
    COLORREF actual = GetPixel(dc, x, y);
    if (actual != expected) {
        ADD_FAILURE_AT(file, line) << "pixel (" << x << ", " << y << "): expected 0x" << std::hex
                                   << expected << ", got 0x" << actual;
    }
}
