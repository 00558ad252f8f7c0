// The hotspot actions: open a document with the shell, switch pages, run an episode or end the
// launcher. Everything runs on the main thread inside the window procedure.
#include "skin/actions.h"

#include <shellapi.h>

#include "episodes/episodes.h"
#include "launcher/launcher.h"
#include "news/news_fetch.h"
#include "skin/hover.h"
#include "skin/pages.h"

void switch_page(int32_t target)
{
    const Page* leaving = &pages[current_page];
    for (uint32_t i = 0; i < leaving->window_count; i++) {
        // Page 1 lists the launcher window itself; hiding it would hide the whole launcher.
        if (leaving->windows[i] != main_window)
            ShowWindow(leaving->windows[i], SW_HIDE);
    }
    if (target == PAGE_NEWS && news_loaded == 0)
        start_news_fetch();
    current_page = target;
    show_page(target);
    // Hover feedback at once for whatever lies under the pointer on the new page. hover_index
    // is left for the next WM_NCHITTEST or WM_MOUSEMOVE to store.
    int32_t j = hit_test(target, last_mouse_x, last_mouse_y);
    update_hover(j != -1, j);
}

static void run_selected_episode(void)
{
    run_episode();
    // main_window is read after the episode: it names the rebuilt window, whose WM_DESTROY ends
    // this pass of the message loop, or the destroyed one when the launcher is ending.
    SendMessageA(main_window, WM_DESTROY, 0, 0);
}

static void do_command(intptr_t command)
{
    switch (command) {
    case CMD_EPISODE_1:
    case CMD_EPISODE_2:
    case CMD_EPISODE_3:
    case CMD_EPISODE_4:
    case CMD_EPISODE_5:
        selected_episode = (int32_t)command;
        run_selected_episode();
        break;
    case CMD_RUN_SELECTED:
        run_selected_episode();
        break;
    case CMD_QUIT:
        SendMessageA(main_window, WM_DESTROY, 0, 0);
        break;
    }
}

int32_t do_action(int32_t index)
{
    if (index == -1)
        return 0;
    const Hotspot* hotspot = &pages[current_page].hotspots[index];
    switch (hotspot->action) {
    case ACT_OPEN:
    case ACT_OPEN_2:
    case ACT_OPEN_3:
        // A relative path is resolved by the shell against the launcher's working directory.
        ShellExecuteA(NULL, "open", (const char*)hotspot->argument, NULL, NULL, SW_SHOWNORMAL);
        break;
    case ACT_GOTO_PAGE:
        switch_page((int32_t)hotspot->argument);
        break;
    case ACT_COMMAND:
        do_command(hotspot->argument);
        break;
    case ACT_RUN_EPISODE:
        run_selected_episode();
        break;
    }
    return 0;
}

LRESULT on_left_button_down(void)
{
    // The position stored by the last WM_MOUSEMOVE, not the one this message carries.
    do_action(hit_test(current_page, last_mouse_x, last_mouse_y));
    return 0;
}

LRESULT on_left_button_up(void)
{
    show_page(current_page);
    return 0;
}
