// Episode discovery, the chooser's rows and the launch of one episode.
#include "episodes/episodes.h"

#include <stdio.h>

#include "launcher/launcher.h"
#include "skin/layout.h"
#include "skin/pages.h"
#include "skin/shape.h"


EpisodeImages episode_images[MAX_EPISODES];
int32_t selected_episode;

enum {
    ROW_LEFT = 48,
    ROW_TOP = 230,
    ROW_STEP = 40,
    ROW_WIDTH = 400,
    ROW_HEIGHT = 40,
    ROW_HIT_RIGHT = 448,
    ROW_HIT_BOTTOM = 265,
    CURSOR_COUNT_AFTER_EPISODE = 50,
};

typedef int(__cdecl* episode_main_fn)(void);

void episode_file_name(int32_t number, char* name, size_t name_size)
{
    snprintf(name, name_size, "chaptr%d.dll", (int)number);
}

// One row image into a memory device context made for the window; the module can go afterwards.
static HRESULT take_row_image(HWND window, HMODULE module, const char* name, HDC* destination)
{
    HBITMAP bitmap = LoadBitmapA(module, name);
    if (bitmap == NULL)
        return E_FAIL;
    if (FAILED(select_into_memory_dc(window, bitmap, destination)))
        return E_FAIL;
    own_skin_dc(*destination);
    return S_OK;
}

HRESULT find_episodes(HWND window)
{
    // The previous build's images are released by the layout once nothing draws them any more.
    for (int32_t i = 0; i < MAX_EPISODES; i++) {
        episode_images[i].act = NULL;
        episode_images[i].dis = NULL;
    }
    for (int32_t n = 1; n <= MAX_EPISODES; n++) {
        char name[16];
        episode_file_name(n, name, sizeof(name));
        HMODULE module = LoadLibraryA(name);
        if (module == NULL)
            continue;
        EpisodeImages* slot = &episode_images[n - 1];
        HRESULT result = take_row_image(window, module, "DLL_ACT", &slot->act);
        if (SUCCEEDED(result))
            result = take_row_image(window, module, "DLL_DIS", &slot->dis);
        FreeLibrary(module);
        if (FAILED(result)) {
            // A slot holds both images or none: an image taken alone is dropped here and its
            // device context released by the layout with the others that nothing uses.
            slot->act = NULL;
            slot->dis = NULL;
            return E_FAIL;  // higher-numbered modules are not tried
        }
    }
    return S_OK;
}

void fill_episode_rows(void)
{
    Page* page = &pages[PAGE_EPISODES];
    for (int32_t i = 0; i < MAX_EPISODES; i++) {
        Hotspot* row = &page->hotspots[i + 1];
        const EpisodeImages* slot = &episode_images[i];
        Hotspot fresh = {};
        fresh.action = ACT_COMMAND;
        fresh.argument = CMD_EPISODE_1 + i;
        if (slot->act != NULL) {
            // A row's place depends only on its module number.
            fresh.left = ROW_LEFT;
            fresh.top = ROW_TOP + ROW_STEP * i;
            fresh.right = ROW_HIT_RIGHT;
            fresh.bottom = ROW_HIT_BOTTOM + ROW_STEP * i;
            fresh.hover.dc = slot->act;
            fresh.hover.x = ROW_LEFT;
            fresh.hover.y = ROW_TOP + ROW_STEP * i;
            fresh.hover.width = ROW_WIDTH;
            fresh.hover.height = ROW_HEIGHT;
            fresh.normal = fresh.hover;
            fresh.normal.dc = slot->dis;
            fresh.enabled = 1;
        }
        *row = fresh;
    }
}

// Registers, creates, shapes and shows the launcher window again after an episode, on the
// episode chooser where the player left it.
static void rebuild_launcher(void)
{
    register_launcher_class(app_instance);
    create_launcher_window(app_instance);
    shape_window(main_window, app_instance);
    ShowWindow(main_window, SW_SHOW);
    SetCursor(hand_cursor);
    for (int i = 0; i < CURSOR_COUNT_AFTER_EPISODE; i++)
        ShowCursor(TRUE);
    current_page = PAGE_EPISODES;
    show_page(current_page);
    keep_running = 1;
    quit_on_destroy = 1;
}

HRESULT run_episode(void)
{
    keep_running = 0;
    quit_on_destroy = 0;
    ShowCursor(FALSE);
    // quit_on_destroy is clear, so the real WM_DESTROY that follows posts nothing.
    DestroyWindow(main_window);
    UnregisterClassA(window_class_name, app_instance);

    char name[16];
    episode_file_name(selected_episode - (CMD_EPISODE_1 - 1), name, sizeof(name));
    HMODULE module = LoadLibraryA(name);
    episode_main_fn episode_main =
        module != NULL ? (episode_main_fn)(void*)GetProcAddress(module, "MAIN") : NULL;
    if (episode_main == NULL) {
        // A module that cannot be loaded or run: bring the player back to the launcher rather
        // than leave it torn down with nothing to end or rebuild it.
        if (module != NULL)
            FreeLibrary(module);
        rebuild_launcher();
        return E_FAIL;
    }
    // The module stays loaded: a second run calls MAIN of the module already loaded.
    if (episode_main() == 1) {
        keep_running = 0;
        quit_on_destroy = 1;
        PostQuitMessage(0);
        return S_OK;
    }
    rebuild_launcher();
    return S_OK;
}
