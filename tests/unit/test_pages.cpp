// Page drawing into a memory device context, read back pixel by pixel, and load_picture.
#include <gtest/gtest.h>

#include "launcher/launcher.h"
#include "skin/pages.h"
#include "unit_support.h"

static const COLORREF BLANK = RGB(1, 2, 3);
static const COLORREF RED = RGB(255, 0, 0);
static const COLORREF GREEN = RGB(0, 255, 0);
static const COLORREF BLUE = RGB(0, 0, 255);
static const COLORREF YELLOW = RGB(255, 255, 0);
static const COLORREF WHITE = RGB(255, 255, 255);

class page_drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        clear_page_table();
        target = make_solid_dc(100, 100, BLANK);
        draw_dc = target;
    }
    void TearDown() override
    {
        for (int p = 0; p < MAX_PAGES; p++) {
            for (uint32_t i = 0; i < pages[p].picture_count; i++)
                delete_memory_dc(pages[p].pictures[i].dc);
            for (uint32_t i = 0; i < pages[p].hotspot_count; i++) {
                delete_memory_dc(pages[p].hotspots[i].hover.dc);
                delete_memory_dc(pages[p].hotspots[i].normal.dc);
            }
        }
        clear_page_table();
        delete_memory_dc(target);
        draw_dc = NULL;
    }
    HDC target;
};

TEST_F(page_drawing, pictures_in_order_then_every_normal_image_never_hover)
{
    Page* page = &pages[4];
    page->picture_count = 2;
    page->pictures[0] = solid_picture(0, 0, 60, 60, RED);     // background
    page->pictures[1] = solid_picture(40, 40, 40, 40, GREEN);  // drawn over the background
    page->hotspot_count = 2;
    page->hotspots[0].hover = solid_picture(50, 50, 10, 10, YELLOW);
    page->hotspots[0].normal = solid_picture(50, 50, 10, 10, BLUE);
    page->hotspots[0].enabled = 1;
    page->hotspots[1].hover = solid_picture(0, 80, 10, 10, YELLOW);
    page->hotspots[1].normal = solid_picture(0, 80, 10, 10, WHITE);
    page->hotspots[1].enabled = 0;  // disabled hotspots are drawn too

    show_page(4);

    expect_pixel(target, 5, 5, RED);
    expect_pixel(target, 45, 45, GREEN);
    expect_pixel(target, 55, 55, BLUE);    // hotspot image over the pictures
    expect_pixel(target, 5, 85, WHITE);    // disabled, still drawn normal
    expect_pixel(target, 95, 95, BLANK);   // nothing erased outside the pictures
    expect_pixel(target, 60, 20, BLANK);   // width and height are the layout's, not the bitmap's
}

TEST_F(page_drawing, shows_the_page_windows_and_gives_the_focus)
{
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL,
                               NULL, NULL);
    HWND child = CreateWindowA("EDIT", "", WS_CHILD, 0, 0, 20, 20, owner, NULL, NULL, NULL);
    ASSERT_FALSE(IsWindowVisible(child));
    pages[5].window_count = 1;
    pages[5].windows[0] = child;
    pages[5].focus = child;
    SetForegroundWindow(owner);
    show_page(5);
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_EQ(GetFocus(), child);

    // An empty page draws nothing, shows nothing and takes the focus from every window.
    show_page(0);
    EXPECT_EQ(GetFocus(), (HWND)NULL);
    expect_pixel(target, 0, 0, BLANK);
    expect_pixel(target, 99, 99, BLANK);
    DestroyWindow(owner);
}

TEST(load_picture, makes_a_device_context_for_every_name_and_stores_it)
{
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    HINSTANCE instance = GetModuleHandleA(NULL);

    HDC dc = (HDC)(intptr_t)0x1234;  // overwritten, whatever happens
    ASSERT_EQ(load_picture(window, instance, "#162", &dc), S_OK);
    ASSERT_NE(dc, (HDC)(intptr_t)0x1234);
    ASSERT_NE(dc, (HDC)NULL);
    BITMAP info;
    ASSERT_TRUE(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, 287);
    EXPECT_EQ(info.bmHeight, 52);
    delete_memory_dc(dc);

    // A name without a bitmap resource is not reported: the device context is still made.
    dc = NULL;
    EXPECT_EQ(load_picture(window, instance, "#999", &dc), S_OK);
    EXPECT_NE(dc, (HDC)NULL);
    DeleteDC(dc);
    DestroyWindow(window);
}
