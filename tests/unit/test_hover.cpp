// Hit testing and hover feedback: hit_test over a table of points, update_hover's drawing and
// cursor in each branch (read back from a memory device context), and the WM_NCHITTEST and
// WM_MOUSEMOVE handlers of a real launcher window, also left of the primary screen.
#include <gtest/gtest.h>

#include <windowsx.h>

#include "launcher/launcher.h"
#include "skin/hover.h"
#include "skin/pages.h"
#include "unit_support.h"

static const COLORREF BLANK = RGB(1, 2, 3);
static const COLORREF PAINTED_OVER = RGB(9, 9, 9);

static Hotspot rectangle_hotspot(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                 int32_t enabled)
{
    Hotspot hotspot = {};
    hotspot.left = left;
    hotspot.top = top;
    hotspot.right = right;
    hotspot.bottom = bottom;
    hotspot.enabled = enabled;
    return hotspot;
}

TEST(hit_test, edges_overlaps_disabled_and_empty_pages)
{
    clear_page_table();
    Page* page = &pages[4];
    page->hotspot_count = 5;
    page->hotspots[0] = rectangle_hotspot(10, 10, 20, 20, 1);
    page->hotspots[1] = rectangle_hotspot(15, 15, 30, 30, 1);    // overlaps 0
    page->hotspots[2] = rectangle_hotspot(40, 40, 50, 50, 0);    // disabled, over 3
    page->hotspots[3] = rectangle_hotspot(40, 40, 60, 60, 1);
    page->hotspots[4] = rectangle_hotspot(-20, -20, -5, -5, 1);  // signed comparisons
    page->hotspots[5] = rectangle_hotspot(100, 100, 110, 110, 1);  // beyond hotspot_count
    struct {
        int32_t page, x, y, expected;
        const char* what;
    } cases[] = {
        {4, 10, 10, 0, "left/top edge inside"},
        {4, 20, 20, 0, "right/bottom edge inside (and in 1: lower index wins)"},
        {4, 9, 12, -1, "one left of the left edge"},
        {4, 12, 9, -1, "one above the top edge"},
        {4, 30, 30, 1, "right/bottom edge of 1"},
        {4, 31, 25, -1, "one right of the right edge"},
        {4, 25, 31, -1, "one below the bottom edge"},
        {4, 21, 16, 1, "only in 1"},
        {4, 17, 17, 0, "overlap: lower index wins"},
        {4, 45, 45, 3, "disabled 2 is skipped, 3 lies under it"},
        {4, 61, 45, -1, "one right of 3"},
        {4, -5, -5, 4, "negative rectangle, right/bottom edge"},
        {4, -4, -5, -1, "one right of a negative rectangle"},
        {4, 105, 105, -1, "hotspot slot beyond hotspot_count"},
        {5, 0, 0, -1, "empty page"},
        {0, 15, 15, -1, "page 0 is empty"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hit_test(c.page, c.x, c.y), c.expected)
            << c.what << ": page " << c.page << " (" << c.x << ", " << c.y << ")";
    }
    page->hotspots[0].enabled = 0;
    page->hotspots[1].enabled = 0;
    EXPECT_EQ(hit_test(4, 18, 18), -1) << "disabled hotspots are never found";
    clear_page_table();
}

// Three hotspots side by side on page 4, each with its own normal and hover colour; hotspot 2 is
// disabled but is redrawn like the others.
static const COLORREF NORMAL_COLOUR[3] = {RGB(0, 0, 200), RGB(0, 200, 0), RGB(200, 0, 0)};
static const COLORREF HOVER_COLOUR[3] = {RGB(250, 250, 0), RGB(0, 250, 250), RGB(250, 0, 250)};

class hover_drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        clear_page_table();
        target = make_solid_dc(100, 20, BLANK);
        draw_dc = target;
        hand_cursor = LoadCursorA(NULL, IDC_HAND);
        arrow_cursor = LoadCursorA(NULL, IDC_ARROW);
        current_page = 4;
        Page* page = &pages[4];
        page->hotspot_count = 3;
        for (int i = 0; i < 3; i++) {
            page->hotspots[i] = rectangle_hotspot(30 * i, 0, 30 * i + 9, 9, i != 2);
            page->hotspots[i].normal = solid_picture(30 * i, 0, 10, 10, NORMAL_COLOUR[i]);
            page->hotspots[i].hover = solid_picture(30 * i, 0, 10, 10, HOVER_COLOUR[i]);
        }
    }
    void TearDown() override
    {
        for (int i = 2; i >= 0; i--) {
            delete_memory_dc(pages[4].hotspots[i].hover.dc);
            delete_memory_dc(pages[4].hotspots[i].normal.dc);
        }
        clear_page_table();
        draw_dc = NULL;
        delete_memory_dc(target);
        current_page = 0;
        hover_index = -1;
    }
    void paint_over()
    {
        RECT all = {0, 0, 100, 20};
        HBRUSH brush = CreateSolidBrush(PAINTED_OVER);
        FillRect(target, &all, brush);
        DeleteObject(brush);
    }
    HDC target;
};

enum Seen { NOTHING, NORMAL, HOVER };

TEST_F(hover_drawing, draws_and_sets_the_cursor_per_branch)
{
    HCURSOR hand = LoadCursorA(NULL, IDC_HAND);
    HCURSOR arrow = LoadCursorA(NULL, IDC_ARROW);
    struct {
        int32_t hover_before, flag, index;
        HCURSOR cursor;
        const char* cursor_name;
        Seen seen[3];
        const char* what;
    } cases[] = {
        {-1, 1, 0, hand, "hand", {HOVER, NORMAL, NORMAL}, "entering hotspot 0"},
        {-1, 1, 1, hand, "hand", {NORMAL, HOVER, NORMAL}, "entering hotspot 1"},
        {0, 1, 1, hand, "hand", {NORMAL, HOVER, NORMAL}, "from 0 to 1: every hotspot redrawn"},
        {1, 1, 1, NULL, "unchanged", {NOTHING, NOTHING, NOTHING}, "staying on 1: nothing"},
        {0, 1, 0, NULL, "unchanged", {NOTHING, NOTHING, NOTHING}, "staying on 0: nothing"},
        {1, 0, -1, arrow, "arrow", {NORMAL, NORMAL, NORMAL}, "leaving 1: all normal"},
        {-1, 0, -1, arrow, "arrow", {NOTHING, NOTHING, NOTHING}, "still outside: arrow only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        paint_over();
        hover_index = c.hover_before;
        SetCursor(sentinel_cursor());
        update_hover(c.flag, c.index);
        expect_cursor(c.cursor != NULL ? c.cursor : sentinel_cursor(), c.cursor_name);
        EXPECT_EQ(hover_index, c.hover_before) << "update_hover leaves hover_index alone";
        for (int i = 0; i < 3; i++) {
            COLORREF expected = c.seen[i] == NOTHING  ? PAINTED_OVER
                                : c.seen[i] == NORMAL ? NORMAL_COLOUR[i]
                                                      : HOVER_COLOUR[i];
            expect_pixel(target, 30 * i, 0, expected);
            expect_pixel(target, 30 * i + 9, 9, expected);
        }
        expect_pixel(target, 15, 5, PAINTED_OVER);  // between hotspots nothing is drawn
    }
}

// The handlers on a real launcher window: hotspot 0 enabled, hotspot 1 disabled, on page 4.
class hover_handlers : public ::testing::Test {
protected:
    void SetUp() override
    {
        clear_page_table();
        window = make_launcher_window();
        ASSERT_NE(window, (HWND)NULL);
        current_page = 4;
        hover_index = -1;
        Page* page = &pages[4];
        page->hotspot_count = 2;
        page->hotspots[0] = rectangle_hotspot(100, 100, 200, 150, 1);
        page->hotspots[1] = rectangle_hotspot(300, 300, 350, 350, 0);
        for (int i = 0; i < 2; i++) {
            page->hotspots[i].normal = solid_picture(page->hotspots[i].left,
                                                     page->hotspots[i].top, 20, 20,
                                                     NORMAL_COLOUR[i]);
            page->hotspots[i].hover = solid_picture(page->hotspots[i].left,
                                                    page->hotspots[i].top, 20, 20,
                                                    HOVER_COLOUR[i]);
        }
    }
    void TearDown() override
    {
        drop_launcher_window();
        for (int i = 1; i >= 0; i--) {
            delete_memory_dc(pages[4].hotspots[i].hover.dc);
            delete_memory_dc(pages[4].hotspots[i].normal.dc);
        }
        clear_page_table();
        current_page = 0;
        hover_index = -1;
        last_mouse_x = 0;
        last_mouse_y = 0;
    }
    void move_window(int32_t x, int32_t y)
    {
        ASSERT_TRUE(SetWindowPos(window, NULL, x, y, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
        RECT frame;
        GetWindowRect(window, &frame);
        ASSERT_EQ(frame.left, x);
        ASSERT_EQ(frame.top, y);
    }
    // WM_NCHITTEST at a point given in client coordinates, sent as the screen position.
    LRESULT nc_hit_test(int32_t client_x, int32_t client_y)
    {
        RECT frame;
        GetWindowRect(window, &frame);
        return SendMessageA(window, WM_NCHITTEST, 0,
                            MAKELPARAM(frame.left + client_x, frame.top + client_y));
    }
    HWND window;
};

TEST_F(hover_handlers, nc_hit_test_answers_client_only_over_enabled_hotspots)
{
    move_window(200, 100);
    struct {
        int32_t x, y;
        LRESULT answer;
        int32_t hover;
        const char* what;
    } cases[] = {
        {150, 120, HTCLIENT, 0, "inside the enabled hotspot"},
        {200, 150, HTCLIENT, 0, "its right/bottom corner"},
        {201, 150, HTCAPTION, -1, "one right of it"},
        {100, 100, HTCLIENT, 0, "its top-left corner"},
        {320, 320, HTCAPTION, -1, "over the disabled hotspot"},
        {5, 5, HTCAPTION, -1, "elsewhere"},
    };
    for (const auto& c : cases) {
        hover_index = 7;  // neither answer: the handler must store the new index
        EXPECT_EQ(nc_hit_test(c.x, c.y), c.answer) << c.what;
        EXPECT_EQ(hover_index, c.hover) << c.what;
    }
}

TEST_F(hover_handlers, nc_hit_test_draws_hover_and_sets_the_hand)
{
    move_window(0, 0);
    HDC window_dc = draw_dc;
    ASSERT_NE(window_dc, (HDC)NULL);
    // Draw into a memory device context to read back what the handler drew.
    HDC target = make_solid_dc(533, 488, BLANK);
    draw_dc = target;
    SetCursor(sentinel_cursor());
    EXPECT_EQ(nc_hit_test(110, 110), HTCLIENT);
    expect_cursor(LoadCursorA(NULL, IDC_HAND), "hand");
    expect_pixel(target, 100, 100, HOVER_COLOUR[0]);
    expect_pixel(target, 300, 300, NORMAL_COLOUR[1]);
    SetCursor(sentinel_cursor());
    EXPECT_EQ(nc_hit_test(5, 5), HTCAPTION);
    expect_cursor(LoadCursorA(NULL, IDC_ARROW), "arrow");
    expect_pixel(target, 100, 100, NORMAL_COLOUR[0]);
    draw_dc = window_dc;
    delete_memory_dc(target);
}

TEST_F(hover_handlers, nc_hit_test_left_of_and_above_the_primary_screen)
{
    struct {
        int32_t window_x, window_y;
    } places[] = {{-600, 100}, {-600, -300}, {100, -300}};
    for (const auto& place : places) {
        move_window(place.window_x, place.window_y);
        SCOPED_TRACE(testing::Message() << "window at " << place.window_x << ", "
                                        << place.window_y);
        hover_index = -1;
        // The screen position has a negative coordinate wherever the window edge is negative.
        LPARAM position = MAKELPARAM(place.window_x + 150, place.window_y + 120);
        EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, position), HTCLIENT);
        EXPECT_EQ(hover_index, 0);
        position = MAKELPARAM(place.window_x + 5, place.window_y + 5);
        EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, position), HTCAPTION);
        EXPECT_EQ(hover_index, -1);
    }
}

TEST_F(hover_handlers, mouse_move_stores_the_position_and_the_hotspot)
{
    struct {
        int32_t x, y, hover;
    } cases[] = {
        {150, 120, 0},
        {320, 320, -1},  // disabled
        {5, 6, -1},
        {200, 150, 0},
        {-3, -4, -1},  // outside the client area (signed, as with a capture)
    };
    for (const auto& c : cases) {
        hover_index = 7;
        EXPECT_EQ(SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y)), 0);
        EXPECT_EQ(last_mouse_x, c.x);
        EXPECT_EQ(last_mouse_y, c.y);
        EXPECT_EQ(hover_index, c.hover) << c.x << ", " << c.y;
    }
}
