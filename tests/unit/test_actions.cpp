// The hotspot actions on the real skin: the page switch (which windows it hides, when it starts
// the news fetch, the hover it draws at the stored pointer position), the click handlers, the
// three shell-open codes and the quit command.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "launcher/launcher.h"
#include "news/news_fetch.h"
#include "news/news_view.h"
#include "skin/actions.h"
#include "skin/hover.h"
#include "skin/layout.h"
#include "skin/pages.h"
#include "unit_support.h"

static const COLORREF BLANK = RGB(1, 2, 3);
static const char SENTINEL_TEXT[] = "text set by the test";

static std::string view_text(void)
{
    char text[2000] = "";
    GetWindowTextA(news_view, text, sizeof(text));
    std::string plain;
    for (const char* p = text; *p != '\0'; p++) {
        if (*p != '\r')  // Rich Edit answers with CR LF line ends
            plain += *p;
    }
    return plain;
}

static int view_left_sentinel(void)
{
    return view_text() != SENTINEL_TEXT;
}

static int fetch_finished(void)
{
    std::string text = view_text();
    return text != SENTINEL_TEXT && text != news_connecting_text;
}

static int quit_pending(void)
{
    MSG msg;
    return PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
}

class actions : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The news worker writes its log into the working folder.
        enter_work_folder("actions");
        window = make_launcher_window();
        ASSERT_NE(window, (HWND)NULL);
        ASSERT_EQ(build_skin(window, GetModuleHandleA(NULL)), S_OK);
        ASSERT_NE(news_view, (HWND)NULL);
        window_dc = draw_dc;
        target = make_solid_dc(533, 488, BLANK);
        news_loaded = 1;
        quit_on_destroy = 1;
        ShowWindow(window, SW_SHOWNA);
        current_page = PAGE_MAIN;
        hover_index = -1;
        last_mouse_x = 0;
        last_mouse_y = 0;
        pump_messages();
    }
    void TearDown() override
    {
        quit_on_destroy = 0;
        draw_dc = window_dc;
        delete_memory_dc(target);
        drop_launcher_window();
        release_skin();
        while (quit_pending()) {
        }
        current_page = 0;
        hover_index = -1;
        news_loaded = 0;
        leave_work_folder();
    }
    HWND window;
    HDC window_dc;
    HDC target;
};

TEST_F(actions, page_switch_hides_the_left_pages_windows_but_never_the_launcher)
{
    switch_page(PAGE_NEWS);
    EXPECT_EQ(current_page, PAGE_NEWS);
    EXPECT_TRUE(IsWindowVisible(news_view)) << "entering the news page shows its view";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetFocus(), news_view);

    switch_page(PAGE_MAIN);
    EXPECT_FALSE(IsWindowVisible(news_view)) << "leaving the news page hides its view";
    EXPECT_TRUE(IsWindowVisible(window));

    switch_page(PAGE_EPISODES);
    EXPECT_EQ(current_page, PAGE_EPISODES);
    EXPECT_TRUE(IsWindowVisible(window)) << "leaving page 1 must not hide the launcher window";
    EXPECT_FALSE(IsWindowVisible(news_view));

    // Through do_action: "Online community" on page 1, "Back" on page 3.
    current_page = PAGE_MAIN;
    do_action(1);
    EXPECT_EQ(current_page, PAGE_NEWS);
    EXPECT_TRUE(IsWindowVisible(news_view));
    do_action(0);
    EXPECT_EQ(current_page, PAGE_MAIN);
    EXPECT_FALSE(IsWindowVisible(news_view));
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(actions, news_fetch_starts_only_when_entering_the_news_page_unloaded)
{
    // With the news loaded nothing may touch the view's text.
    news_loaded = 1;
    set_news_text(SENTINEL_TEXT);
    switch_page(PAGE_NEWS);
    EXPECT_FALSE(wait_until(view_left_sentinel, 1000))
        << "a fetch was started although the news was loaded: " << view_text();
    switch_page(PAGE_MAIN);

    // Entering another page never starts a fetch.
    news_loaded = 0;
    switch_page(PAGE_EPISODES);
    EXPECT_FALSE(wait_until(view_left_sentinel, 1000)) << view_text();
    switch_page(PAGE_MAIN);

    // Entering the news page with it clear starts the worker, which replaces the text.
    switch_page(PAGE_NEWS);
    EXPECT_TRUE(wait_until(view_left_sentinel, 30000))
        << "no fetch started: the view still shows the test's text";
    EXPECT_TRUE(wait_until(fetch_finished, 60000)) << view_text();
}

TEST_F(actions, page_switch_draws_the_hover_under_the_stored_position_at_once)
{
    draw_dc = target;
    // "Back" lies at the same place on pages 2 and 3.
    last_mouse_x = 50;
    last_mouse_y = 450;

    hover_index = -1;
    SetCursor(sentinel_cursor());
    switch_page(PAGE_EPISODES);
    expect_cursor(LoadCursorA(NULL, IDC_HAND), "hand");
    expect_picture_shown(target, &pages[PAGE_EPISODES].hotspots[0].hover, "Back, hover");
    expect_picture_shown(target, &pages[PAGE_EPISODES].pictures[1], "episode panel");
    EXPECT_EQ(hover_index, -1) << "the switch leaves hover_index for the next pointer message";

    // Nothing under the pointer on page 1: the arrow, every button normal.
    last_mouse_x = 5;
    last_mouse_y = 5;
    SetCursor(sentinel_cursor());
    switch_page(PAGE_MAIN);
    expect_cursor(LoadCursorA(NULL, IDC_ARROW), "arrow");
    for (uint32_t i = 0; i < pages[PAGE_MAIN].hotspot_count; i++)
        expect_picture_shown(target, &pages[PAGE_MAIN].hotspots[i].normal, "page 1 button");

    // The same index as hover_index: update_hover draws nothing, so Back stays normal.
    last_mouse_x = 50;
    last_mouse_y = 450;
    hover_index = 0;
    news_loaded = 1;
    SetCursor(sentinel_cursor());
    switch_page(PAGE_NEWS);
    expect_cursor(sentinel_cursor(), "unchanged");
    expect_picture_shown(target, &pages[PAGE_NEWS].hotspots[0].normal, "Back, normal");
}

TEST_F(actions, button_down_uses_the_stored_position_and_button_up_redraws_normal)
{
    draw_dc = target;
    // Over "Online community".
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(200, 300));
    EXPECT_EQ(hover_index, 1);
    expect_picture_shown(target, &pages[PAGE_MAIN].hotspots[1].hover, "Online community, hover");
    // The press carries another position; the stored one counts.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(current_page, PAGE_NEWS);
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(200, 300));
    expect_picture_shown(target, &pages[PAGE_NEWS].hotspots[0].normal, "Back, normal");
    expect_picture_shown(target, &pages[PAGE_NEWS].pictures[1], "news panel");

    // Before any pointer message over a hotspot (stored position 0,0), a press does nothing.
    current_page = PAGE_MAIN;
    last_mouse_x = 0;
    last_mouse_y = 0;
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 300));
    EXPECT_EQ(current_page, PAGE_MAIN);
}

// A batch file that leaves a marker file when the shell opens it.
static void write_opener(const char* name, const char* marker)
{
    FILE* file = fopen(name, "w");
    ASSERT_NE(file, (FILE*)NULL) << name;
    fprintf(file, "@echo opened> \"%s\\%s\"\r\n", work_folder(), marker);
    fclose(file);
}

static const char* awaited_marker;
static int marker_exists(void)
{
    return GetFileAttributesA(awaited_marker) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(actions, open_codes_hand_the_argument_to_the_shell_and_stay_on_the_page)
{
    struct {
        int32_t action;
        const char* opener;
        const char* marker;
    } cases[] = {
        {7, "open_7.bat", "opened_7.txt"},
        {23, "open_23.bat", "opened_23.txt"},
        {24, "open_24.bat", "opened_24.txt"},
    };
    static char paths[3][MAX_PATH];
    Page* page = &pages[4];
    page->hotspot_count = 3;
    for (int i = 0; i < 3; i++) {
        write_opener(cases[i].opener, cases[i].marker);
        snprintf(paths[i], MAX_PATH, "%s\\%s", work_folder(), cases[i].opener);
        page->hotspots[i].action = cases[i].action;
        page->hotspots[i].argument = (intptr_t)paths[i];
        page->hotspots[i].enabled = 1;
    }
    for (int i = 0; i < 3; i++) {
        current_page = 4;
        do_action(i);
        EXPECT_EQ(current_page, 4) << "code " << cases[i].action << " switched the page";
        EXPECT_FALSE(quit_pending()) << "code " << cases[i].action;
        awaited_marker = cases[i].marker;
        EXPECT_TRUE(wait_until(marker_exists, 30000))
            << "code " << cases[i].action << ": the shell did not open " << paths[i];
    }
    page->hotspot_count = 0;
}

TEST_F(actions, quit_sends_destroy_and_unknown_codes_do_nothing)
{
    Page* page = &pages[4];
    page->hotspot_count = 3;
    page->hotspots[0].action = 99;  // no such action
    page->hotspots[0].argument = PAGE_MAIN;
    page->hotspots[1].action = ACT_COMMAND;
    page->hotspots[1].argument = 243;  // no such command
    page->hotspots[2].action = ACT_COMMAND;
    page->hotspots[2].argument = CMD_QUIT;
    current_page = 4;
    keep_running = 0;
    do_action(-1);
    do_action(0);
    do_action(1);
    EXPECT_EQ(current_page, 4);
    EXPECT_FALSE(quit_pending()) << "only the quit command ends the loop";
    do_action(2);
    EXPECT_TRUE(quit_pending()) << "quit posts WM_QUIT through the window's WM_DESTROY";
    EXPECT_TRUE(IsWindow(window)) << "quit tears nothing down itself";
    EXPECT_EQ(current_page, 4);
    page->hotspot_count = 0;
}
