// The launcher window and its message loop: placement, class and style, WM_DESTROY with and
// without quit_on_destroy, WM_PAINT keeping draw_dc, and the two-level loop.
#include <gtest/gtest.h>

#include "launcher/launcher.h"
#include "skin/pages.h"
#include "unit_support.h"

TEST(window, is_centred_with_truncating_division)
{
    struct {
        int32_t screen_width, screen_height, x, y;
    } cases[] = {
        {1024, 768, 245, 140},
        {800, 600, 133, 56},
        {520, 600, -6, 56},  // (520 - 533) / 2 truncates toward zero
        {533, 488, 0, 0},
    };
    for (const auto& c : cases) {
        POINT origin = launcher_window_origin(c.screen_width, c.screen_height);
        EXPECT_EQ(origin.x, c.x) << c.screen_width << " x " << c.screen_height;
        EXPECT_EQ(origin.y, c.y) << c.screen_width << " x " << c.screen_height;
    }
}

TEST(window, is_a_hidden_borderless_popup_of_its_class)
{
    HWND window = make_launcher_window();
    ASSERT_NE(window, (HWND)NULL);
    char text[100];
    GetClassNameA(window, text, sizeof(text));
    EXPECT_STREQ(text, "KX");
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "Bolvo Quest");
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE), WS_POPUP);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    RECT frame;
    GetWindowRect(window, &frame);
    POINT origin =
        launcher_window_origin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(frame.left, origin.x);
    EXPECT_EQ(frame.top, origin.y);
    EXPECT_EQ(frame.right - frame.left, 533);
    EXPECT_EQ(frame.bottom - frame.top, 488);
    EXPECT_NE(draw_dc, (HDC)NULL) << "the window's device context is taken at creation";
    EXPECT_EQ(WindowFromDC(draw_dc), window);
    drop_launcher_window();
    EXPECT_EQ(draw_dc, (HDC)NULL) << "the device context goes with the window";
    EXPECT_EQ(main_window, window) << "main_window keeps the dead handle until a rebuild";
}

static int quit_pending(WPARAM* code)
{
    MSG msg;
    if (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        *code = msg.wParam;
        return 1;
    }
    return 0;
}

TEST(window, destroy_message_posts_quit_only_with_the_flag)
{
    HWND window = make_launcher_window();
    WPARAM code = 99;

    quit_on_destroy = 0;
    SendMessageA(window, WM_DESTROY, 0, 0);
    EXPECT_FALSE(quit_pending(&code)) << "no WM_QUIT while quit_on_destroy is clear";

    quit_on_destroy = 1;
    SendMessageA(window, WM_DESTROY, 0, 0);
    EXPECT_TRUE(quit_pending(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(IsWindow(window)) << "a sent WM_DESTROY leaves the window in place";

    quit_on_destroy = 0;
    drop_launcher_window();
    EXPECT_FALSE(quit_pending(&code)) << "the real destruction posts nothing with the flag clear";
}

static WNDPROC launcher_proc;
static int paint_count;
static HDC dc_seen_in_paint;

static LRESULT CALLBACK counting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_PAINT)
        paint_count++;
    return CallWindowProcA(launcher_proc, window, message, wparam, lparam);
}

TEST(window, paint_restores_draw_dc_also_when_show_page_reenters_it)
{
    clear_page_table();
    HWND window = make_launcher_window();
    HDC window_dc = draw_dc;
    launcher_proc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)counting_proc);
    // Page 1 lists the launcher window itself, as the skin does.
    pages[PAGE_MAIN].window_count = 1;
    pages[PAGE_MAIN].windows[0] = window;
    pages[PAGE_MAIN].focus = window;
    current_page = PAGE_MAIN;
    ShowWindow(window, SW_SHOWNA);
    pump_messages();
    InvalidateRect(window, NULL, FALSE);
    paint_count = 0;
    show_page(PAGE_MAIN);  // its UpdateWindow sends WM_PAINT, which calls show_page again
    EXPECT_EQ(paint_count, 1);
    EXPECT_EQ(draw_dc, window_dc);

    // A WM_PAINT with nothing to update draws nothing and leaves draw_dc alone.
    paint_count = 0;
    SendMessageA(window, WM_PAINT, 0, 0);
    EXPECT_EQ(paint_count, 1);
    EXPECT_EQ(draw_dc, window_dc);
    drop_launcher_window();
    clear_page_table();
    current_page = 0;
}

// The loop test's window: the first message asks for a second pass, the timer that fires in
// that pass ends the loop.
static int passes_seen;
static int keep_running_in_second_pass = -1;

static LRESULT CALLBACK loop_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_APP) {
        passes_seen = 1;
        keep_running = 1;
        PostQuitMessage(0);
        SetTimer(window, 1, 1, NULL);
        return 0;
    }
    if (message == WM_TIMER) {
        KillTimer(window, 1);
        passes_seen = 2;
        keep_running_in_second_pass = keep_running;
        PostQuitMessage(7);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

TEST(message_loop, quit_with_keep_running_starts_a_new_pass)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = loop_proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "loop test";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND window = CreateWindowA("loop test", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                wc.hInstance, NULL);
    main_window = window;
    PostMessageA(window, WM_APP, 0, 0);
    int result = run_message_loop();
    EXPECT_EQ(passes_seen, 2);
    EXPECT_EQ(keep_running_in_second_pass, 0) << "every pass starts by clearing keep_running";
    EXPECT_EQ(result, 7) << "the loop returns the wParam of the WM_QUIT that ended it";
    DestroyWindow(window);
    UnregisterClassA("loop test", wc.hInstance);
}
