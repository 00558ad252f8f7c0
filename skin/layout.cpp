// The skin: fills pages 1 to 3 of the page table with the launcher's bitmaps and hotspots. It
// runs once for every launcher window, at start-up and after each episode; every run loads its
// pictures anew and then releases what the previous run made and no page uses any more.
#include "skin/layout.h"

#include <string.h>

#include "episodes/episodes.h"
#include "launcher/launcher.h"
#include "news/news_view.h"
#include "skin/pages.h"

HFONT skin_font;

static HMODULE rich_edit_library;

enum { MAX_OWNED_DCS = 256 };
static HDC owned_dcs[MAX_OWNED_DCS];
static unsigned owned_dc_count;

// Place and size of one picture, and the hit rectangle and action of one button.
struct PicturePlace {
    const char* bitmap;
    int32_t x, y, width, height;
};

struct ButtonLayout {
    const char* hover_bitmap;
    const char* normal_bitmap;
    int32_t x, y, width, height;
    int32_t left, top, right, bottom;
    int32_t action;
    intptr_t argument;
};

static const char HELP_DOCUMENT[] = "doc\\help.html";

static const PicturePlace BACKGROUND = {"#159", 0, 0, 533, 488};
static const PicturePlace MAIN_TITLE = {"#160", 137, 165, 228, 53};
static const PicturePlace NEWS_PANEL = {"#181", 40, 165, 423, 274};
static const PicturePlace EPISODE_PANEL = {"#182", 40, 165, 423, 274};

static const ButtonLayout MAIN_BUTTONS[] = {
    {"#161", "#162", 112, 232, 287, 52, 124, 234, 376, 268, ACT_GOTO_PAGE, PAGE_EPISODES},
    {"#163", "#164", 112, 284, 287, 50, 110, 281, 388, 316, ACT_GOTO_PAGE, PAGE_NEWS},
    {"#165", "#166", 112, 333, 287, 50, 160, 334, 340, 368, ACT_OPEN_3, (intptr_t)HELP_DOCUMENT},
    {"#170", "#171", 33, 441, 74, 42, 26, 441, 97, 471, ACT_COMMAND, CMD_QUIT},
};

static const ButtonLayout BACK_BUTTON = {
    "#176", "#175", 32, 439, 88, 42, 32, 439, 111, 470, ACT_GOTO_PAGE, PAGE_MAIN};

void own_skin_dc(HDC dc)
{
    if (dc != NULL && owned_dc_count < MAX_OWNED_DCS)
        owned_dcs[owned_dc_count++] = dc;
}

unsigned owned_skin_dc_count(void)
{
    return owned_dc_count;
}

static int picture_uses(const Picture* picture, HDC dc)
{
    return picture->dc == dc;
}

static int dc_in_use(HDC dc)
{
    for (int32_t p = 0; p < MAX_PAGES; p++) {
        const Page* page = &pages[p];
        for (uint32_t i = 0; i < page->picture_count; i++)
            if (picture_uses(&page->pictures[i], dc))
                return 1;
        for (uint32_t i = 0; i < page->hotspot_count; i++)
            if (picture_uses(&page->hotspots[i].hover, dc) ||
                picture_uses(&page->hotspots[i].normal, dc))
                return 1;
    }
    for (int32_t i = 0; i < MAX_EPISODES; i++)
        if (episode_images[i].act == dc || episode_images[i].dis == dc)
            return 1;
    return 0;
}

// A memory device context owns the bitmap selected into it: deleting the device context first
// deselects the bitmap, which can then be deleted too.
static void release_skin_dc(HDC dc)
{
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DeleteDC(dc);
    if (bitmap != NULL)
        DeleteObject(bitmap);
}

void release_unused_skin_dcs(void)
{
    unsigned kept = 0;
    for (unsigned i = 0; i < owned_dc_count; i++) {
        if (dc_in_use(owned_dcs[i]))
            owned_dcs[kept++] = owned_dcs[i];
        else
            release_skin_dc(owned_dcs[i]);
    }
    owned_dc_count = kept;
}

static void load_skin_picture(HWND window, HINSTANCE instance, const char* bitmap,
                              Picture* picture)
{
    load_picture(window, instance, bitmap, &picture->dc);
    own_skin_dc(picture->dc);
}

static void place_picture(HWND window, HINSTANCE instance, const PicturePlace* place,
                          Picture* picture)
{
    load_skin_picture(window, instance, place->bitmap, picture);
    picture->x = place->x;
    picture->y = place->y;
    picture->width = place->width;
    picture->height = place->height;
}

// The normal picture starts as a whole copy of the hover picture, so both share one placement.
static void fill_button(HWND window, HINSTANCE instance, const ButtonLayout* layout,
                        Hotspot* hotspot)
{
    load_skin_picture(window, instance, layout->hover_bitmap, &hotspot->hover);
    hotspot->hover.x = layout->x;
    hotspot->hover.y = layout->y;
    hotspot->hover.width = layout->width;
    hotspot->hover.height = layout->height;
    hotspot->normal = hotspot->hover;
    load_skin_picture(window, instance, layout->normal_bitmap, &hotspot->normal);
    hotspot->left = layout->left;
    hotspot->top = layout->top;
    hotspot->right = layout->right;
    hotspot->bottom = layout->bottom;
    hotspot->action = layout->action;
    hotspot->argument = layout->argument;
    hotspot->enabled = 1;
}

static void create_skin_font(void)
{
    LOGFONTA font = {};
    font.lfHeight = 16;
    font.lfWidth = 6;
    font.lfWeight = FW_THIN;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = 6;  // deliberately not CLIP_DEFAULT_PRECIS
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    strcpy(font.lfFaceName, "arial");
    // The previous font belonged to the previous news view, which went with its window.
    HFONT previous = skin_font;
    skin_font = CreateFontIndirectA(&font);
    if (previous != NULL)
        DeleteObject(previous);
}

static void build_main_page(HWND window, HINSTANCE instance)
{
    Page* page = &pages[PAGE_MAIN];
    place_picture(window, instance, &BACKGROUND, &page->pictures[0]);
    place_picture(window, instance, &MAIN_TITLE, &page->pictures[1]);
    page->window_count = 1;
    page->windows[0] = window;
    page->focus = window;
    page->hotspot_count = 4;
    page->picture_count = 2;
    for (int i = 0; i < 4; i++)
        fill_button(window, instance, &MAIN_BUTTONS[i], &page->hotspots[i]);
}

static void build_news_page(HWND window, HINSTANCE instance)
{
    Page* page = &pages[PAGE_NEWS];
    page->pictures[0] = pages[PAGE_MAIN].pictures[0];
    place_picture(window, instance, &NEWS_PANEL, &page->pictures[1]);
    page->picture_count = 2;
    page->window_count = 1;
    page->windows[0] = news_view;
    page->focus = news_view;
    page->hotspot_count = 1;
    fill_button(window, instance, &BACK_BUTTON, &page->hotspots[0]);
}

static void build_episode_page(HWND window, HINSTANCE instance)
{
    Page* page = &pages[PAGE_EPISODES];
    page->pictures[0] = pages[PAGE_MAIN].pictures[0];
    place_picture(window, instance, &EPISODE_PANEL, &page->pictures[1]);
    page->window_count = 0;
    page->focus = window;
    page->hotspot_count = 1 + MAX_EPISODES;
    page->picture_count = 2;
    page->hotspots[0] = pages[PAGE_NEWS].hotspots[0];
    fill_episode_rows();
}

static HRESULT build_pages(HWND window, HINSTANCE instance)
{
    create_skin_font();
    build_main_page(window, instance);
    // The library is loaded once and kept: every view of every rebuild uses it.
    if (rich_edit_library == NULL)
        rich_edit_library = LoadLibraryA("Riched20.dll");
    if (rich_edit_library == NULL)
        return S_OK;
    create_news_view(window, instance, skin_font);
    build_news_page(window, instance);
    if (FAILED(find_episodes(window)))
        return E_FAIL;
    build_episode_page(window, instance);
    return S_OK;
}

HRESULT build_skin(HWND window, HINSTANCE instance)
{
    HRESULT result = build_pages(window, instance);
    // Pages this build did not reach keep what they held and so keep their device contexts.
    release_unused_skin_dcs();
    return result;
}
