// The launcher window: its class, its creation in the middle of the screen, and the window
// procedure that routes each message to a small handler.
#include "launcher/launcher.h"
#include "skin/pages.h"
#include "skin/hover.h"
#include "skin/actions.h"
#include "news/news_view.h"

HWND main_window;
HCURSOR arrow_cursor;
HCURSOR hand_cursor;

void register_launcher_class(HINSTANCE instance)
{
    arrow_cursor = LoadCursorA(NULL, IDC_ARROW);
    hand_cursor = LoadCursorA(NULL, IDC_HAND);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = launcher_window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_LAUNCHER));
    // No cursor: the launcher sets the hand and the arrow itself. No brush: every pixel comes
    // from the page's pictures. There is no icon 108, so the system takes the small icon from
    // the group.
    wc.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(ICON_LAUNCHER_SMALL));
    wc.lpszClassName = window_class_name;
    RegisterClassExA(&wc);
}

POINT launcher_window_origin(int32_t screen_width, int32_t screen_height)
{
    POINT origin;
    origin.x = (screen_width - LAUNCHER_WIDTH) / 2;
    origin.y = (screen_height - LAUNCHER_HEIGHT) / 2;
    return origin;
}

int create_launcher_window(HINSTANCE instance)
{
    app_instance = instance;
    POINT origin =
        launcher_window_origin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    HWND window = CreateWindowExA(0, window_class_name, window_title, WS_POPUP, origin.x,
                                  origin.y, LAUNCHER_WIDTH, LAUNCHER_HEIGHT, NULL, NULL,
                                  instance, NULL);
    if (window == NULL)
        return 0;
    main_window = window;
    draw_dc = GetDC(window);
    return 1;
}

static LRESULT on_paint(HWND window)
{
    RECT update;
    if (!GetUpdateRect(window, &update, FALSE))
        return 0;
    HDC kept = draw_dc;
    PAINTSTRUCT paint;
    draw_dc = BeginPaint(window, &paint);
    // The whole page is drawn; the paint device context clips it to the update region.
    show_page(current_page);
    EndPaint(window, &paint);
    draw_dc = kept;
    return 0;
}

static LRESULT on_destroy(void)
{
    // Also reached by the WM_DESTROY that the actions send without destroying the window.
    if (quit_on_destroy)
        PostQuitMessage(0);
    return 0;
}

// The window is really gone: give back its device context, so that nothing draws through it.
static void on_nc_destroy(HWND window)
{
    if (window == main_window && draw_dc != NULL) {
        ReleaseDC(window, draw_dc);
        draw_dc = NULL;
    }
}

LRESULT CALLBACK launcher_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT:
        return on_paint(window);
    case WM_DESTROY:
        return on_destroy();
    case WM_NCDESTROY:
        on_nc_destroy(window);
        break;
    case WM_NCHITTEST:
        return on_nc_hit_test(window, lparam);
    case WM_MOUSEMOVE:
        return on_mouse_move(lparam);
    case WM_LBUTTONDOWN:
        return on_left_button_down();
    case WM_LBUTTONUP:
        return on_left_button_up();
    case WM_NOTIFY:
        on_news_view_notify(lparam);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
