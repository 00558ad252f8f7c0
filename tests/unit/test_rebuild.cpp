// The launcher window torn down and built again 2,000 times, as after 2,000 episodes: every
// build must release what it replaces, or the process runs out of GDI handles long before the
// end (a leak of 33 objects per build fills Wine's table of 65,536). Afterwards the pages must
// still draw and hit-test correctly. Prints the time of one rebuild.
#include <gtest/gtest.h>

#include <stdio.h>

#include "episodes/episodes.h"
#include "launcher/launcher.h"
#include "news/news_view.h"
#include "skin/hover.h"
#include "skin/layout.h"
#include "skin/pages.h"
#include "unit_support.h"

static const int REBUILDS = 2000;
static const COLORREF BLANK = RGB(1, 2, 3);
// Alive after each build: page 1's 2 pictures and 4 x 2 button images, page 3's panel and the
// 2 Back images, page 2's panel, and 2 images for each of the 2 modules.
static const unsigned LIVE_DCS = 2 + 8 + 1 + 2 + 1 + 4;

TEST(rebuild, two_thousand_rebuilds_release_what_they_replace)
{
    enter_work_folder("rebuild");
    install_fixture("fixture_good", 1);
    install_fixture("fixture_good", 3);
    HINSTANCE instance = GetModuleHandleA(NULL);
    DWORD gdi_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HWND window = make_launcher_window();
    ASSERT_EQ(build_skin(window, instance), S_OK);
    HFONT first_font = skin_font;
    for (int i = 1; i <= REBUILDS; i++) {
        // As run_episode: the window and its class go, then come back and the skin is rebuilt.
        drop_launcher_window();
        register_launcher_class(instance);
        ASSERT_EQ(create_launcher_window(instance), 1)
            << "rebuild " << i << ": no window (error " << GetLastError() << ")";
        ASSERT_NE(main_window, window) << "rebuild " << i;
        window = main_window;
        HRESULT built = build_skin(window, instance);
        ASSERT_EQ(built, S_OK) << "rebuild " << i;
        ASSERT_EQ(owned_skin_dc_count(), LIVE_DCS) << "rebuild " << i;
        ASSERT_NE(pages[PAGE_MAIN].pictures[0].dc, (HDC)NULL) << "rebuild " << i;
        ASSERT_EQ(GetParent(news_view), window) << "rebuild " << i;
        if (i == 1)
            EXPECT_EQ(GetObjectType(first_font), 0u) << "the previous build's font is deleted";
    }
    QueryPerformanceCounter(&end);
    double total_ms = (double)(end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    printf("%d rebuilds in %.0f ms: %.2f ms per rebuild (window, class and skin)\n", REBUILDS,
           total_ms, total_ms / (REBUILDS + 1));

    DWORD gdi_after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    printf("GDI objects reported: %lu before, %lu after\n", (unsigned long)gdi_before,
           (unsigned long)gdi_after);
    if (gdi_before != 0)  // Wine reports 0
        EXPECT_LT(gdi_after, gdi_before + 100);

    // The pages still draw: the background, the buttons and the module rows from their images.
    HDC target = make_solid_dc(533, 488, BLANK);
    HDC window_dc = draw_dc;
    draw_dc = target;
    current_page = PAGE_EPISODES;
    show_page(PAGE_EPISODES);
    Picture above_panel = pages[PAGE_EPISODES].pictures[0];
    above_panel.height = 165;
    expect_picture_shown(target, &above_panel, "background above the panel");
    expect_resource_image(&pages[PAGE_EPISODES].pictures[0], "#159");
    expect_pixel(target, 58, 240, FIXTURE_DIS_COLOUR);
    expect_pixel(target, 58, 320, FIXTURE_DIS_COLOUR);
    expect_picture_shown(target, &pages[PAGE_EPISODES].hotspots[0].normal, "Back");

    current_page = PAGE_MAIN;
    show_page(PAGE_MAIN);
    expect_resource_image(&pages[PAGE_MAIN].pictures[0], "#159");
    Picture left_strip = pages[PAGE_MAIN].pictures[0];
    left_strip.width = 100;
    left_strip.height = 400;
    expect_picture_shown(target, &left_strip, "background left of the buttons");
    for (uint32_t i = 0; i < pages[PAGE_MAIN].hotspot_count; i++)
        expect_picture_shown(target, &pages[PAGE_MAIN].hotspots[i].normal, "page 1 button");
    // The hover of "Play the game" under the pointer.
    hover_index = -1;
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(200, 250));
    EXPECT_EQ(hover_index, 0);
    expect_picture_shown(target, &pages[PAGE_MAIN].hotspots[0].hover, "Play the game, hover");

    // And still hit-test.
    struct {
        int32_t page, x, y, expected;
    } cases[] = {
        {PAGE_MAIN, 124, 234, 0},     {PAGE_MAIN, 123, 234, -1},   {PAGE_MAIN, 97, 471, 3},
        {PAGE_NEWS, 50, 450, 0},      {PAGE_EPISODES, 48, 230, 1}, {PAGE_EPISODES, 48, 270, -1},
        {PAGE_EPISODES, 448, 345, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hit_test(c.page, c.x, c.y), c.expected)
            << "page " << c.page << " (" << c.x << ", " << c.y << ")";

    draw_dc = window_dc;
    delete_memory_dc(target);
    current_page = 0;
    hover_index = -1;
    drop_launcher_window();
    release_skin();
    leave_work_folder();
}
