// Episode discovery and the chooser's rows with test modules copied into a work folder as
// chaptrN.dll: which slots are taken, where the rows lie, what they show, and what a failed
// discovery leaves of the episode page, at the first build and at a rebuild.
#include <gtest/gtest.h>

#include <string.h>

#include "episodes/episodes.h"
#include "launcher/launcher.h"
#include "news/news_view.h"
#include "skin/hover.h"
#include "skin/layout.h"
#include "skin/pages.h"
#include "unit_support.h"

static const COLORREF BLANK = RGB(1, 2, 3);

struct DiscoveryCase {
    const char* what;
    const char* modules[MAX_EPISODES];  // fixture for chaptr1 ... chaptr5, or null
    HRESULT result;
    int filled[MAX_EPISODES];  // slots expected to hold both images
};

static const DiscoveryCase CASES[] = {
    {"modules 1, 2, 3",
     {"fixture_good", "fixture_good", "fixture_good", NULL, NULL},
     S_OK,
     {1, 1, 1, 0, 0}},
    {"module 2 missing",
     {"fixture_good", NULL, "fixture_good", "fixture_good", "fixture_good"},
     S_OK,
     {1, 0, 1, 1, 1}},
    {"only module 5", {NULL, NULL, NULL, NULL, "fixture_good"}, S_OK, {0, 0, 0, 0, 1}},
    {"no module", {NULL, NULL, NULL, NULL, NULL}, S_OK, {0, 0, 0, 0, 0}},
    {"module 2 without DLL_DIS",
     {"fixture_good", "fixture_no_dis", "fixture_good", "fixture_good", "fixture_good"},
     E_FAIL,
     {1, 0, 0, 0, 0}},
    {"module 2 without DLL_ACT",
     {"fixture_good", "fixture_no_act", "fixture_good", "fixture_good", "fixture_good"},
     E_FAIL,
     {1, 0, 0, 0, 0}},
    {"images of another size are taken as they are",
     {"fixture_wrong_size", NULL, NULL, NULL, NULL},
     S_OK,
     {1, 0, 0, 0, 0}},
};

class episodes : public ::testing::Test {
protected:
    void SetUp() override
    {
        enter_work_folder("episodes");
        clear_page_table();
    }
    void TearDown() override
    {
        if (IsWindow(main_window))
            drop_launcher_window();
        release_skin();
        leave_work_folder();
    }
    void install(const DiscoveryCase& c)
    {
        for (int n = 1; n <= MAX_EPISODES; n++) {
            char name[16];
            episode_file_name(n, name, sizeof(name));
            DeleteFileA(name);
            if (c.modules[n - 1] != NULL)
                install_fixture(c.modules[n - 1], n);
        }
    }
};

static void expect_slots_(const char* file, int line, const int filled[MAX_EPISODES])
{
    for (int i = 0; i < MAX_EPISODES; i++) {
        const EpisodeImages* slot = &episode_images[i];
        if (filled[i]) {
            if (slot->act == NULL || slot->dis == NULL)
                ADD_FAILURE_AT(file, line) << "slot " << i << ": expected both images, got act "
                                           << slot->act << ", dis " << slot->dis;
            else {
                expect_pixel(slot->act, 10, 10, FIXTURE_ACT_COLOUR);
                expect_pixel(slot->dis, 10, 10, FIXTURE_DIS_COLOUR);
            }
        } else if (slot->act != NULL || slot->dis != NULL) {
            ADD_FAILURE_AT(file, line) << "slot " << i << ": expected empty, got act "
                                       << slot->act << ", dis " << slot->dis;
        }
    }
}
#define expect_slots(filled) expect_slots_(__FILE__, __LINE__, filled)

TEST_F(episodes, discovery_takes_the_slots_of_the_modules_found)
{
    HWND window = make_launcher_window();
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.what);
        install(c);
        EXPECT_EQ(find_episodes(window), c.result);
        expect_slots(c.filled);
        // Discovery lets go of every module it loaded.
        for (int n = 1; n <= MAX_EPISODES; n++) {
            char name[16];
            episode_file_name(n, name, sizeof(name));
            EXPECT_EQ(GetModuleHandleA(name), (HMODULE)NULL) << name << " still loaded";
        }
        // The row images are the layout's to release.
        release_skin();
    }
}

TEST_F(episodes, rows_of_the_episode_page)
{
    for (const auto& c : CASES) {
        if (c.result != S_OK)
            continue;
        SCOPED_TRACE(c.what);
        install(c);
        HWND window = make_launcher_window();
        ASSERT_EQ(build_skin(window, GetModuleHandleA(NULL)), S_OK);
        const Page* page = &pages[PAGE_EPISODES];
        ASSERT_EQ(page->hotspot_count, 6u);
        ASSERT_EQ(page->picture_count, 2u);
        EXPECT_EQ(page->hotspots[0].argument, PAGE_MAIN) << "Back remains";
        EXPECT_EQ(page->hotspots[0].enabled, 1);

        HDC target = make_solid_dc(533, 488, BLANK);
        HDC window_dc = draw_dc;
        draw_dc = target;
        show_page(PAGE_EPISODES);
        draw_dc = window_dc;
        for (int i = 0; i < MAX_EPISODES; i++) {
            SCOPED_TRACE(testing::Message() << "row " << i + 1);
            const Hotspot* row = &page->hotspots[i + 1];
            int32_t top = 230 + 40 * i;
            EXPECT_EQ(row->action, ACT_COMMAND);
            EXPECT_EQ(row->argument, CMD_EPISODE_1 + i);
            EXPECT_EQ(row->enabled, c.filled[i]);
            if (c.filled[i]) {
                EXPECT_EQ(row->left, 48);
                EXPECT_EQ(row->top, top);
                EXPECT_EQ(row->right, 448);
                EXPECT_EQ(row->bottom, top + 35);
                EXPECT_EQ(row->hover.dc, episode_images[i].act);
                EXPECT_EQ(row->normal.dc, episode_images[i].dis);
                const Picture* images[2] = {&row->hover, &row->normal};
                for (const Picture* picture : images) {
                    EXPECT_EQ(picture->x, 48);
                    EXPECT_EQ(picture->y, top);
                    EXPECT_EQ(picture->width, 400);
                    EXPECT_EQ(picture->height, 40);
                }
                expect_pixel(target, 58, top + 10, FIXTURE_DIS_COLOUR);
                // Corners of the hit rectangle inside, one pixel further outside.
                EXPECT_EQ(hit_test(PAGE_EPISODES, 48, top), i + 1);
                EXPECT_EQ(hit_test(PAGE_EPISODES, 448, top + 35), i + 1);
                EXPECT_EQ(hit_test(PAGE_EPISODES, 47, top + 10), -1);
                EXPECT_EQ(hit_test(PAGE_EPISODES, 449, top + 10), -1);
                EXPECT_EQ(hit_test(PAGE_EPISODES, 200, top + 36), -1) << "gap between rows";
            } else {
                EXPECT_EQ(row->hover.dc, (HDC)NULL);
                EXPECT_EQ(row->normal.dc, (HDC)NULL);
                EXPECT_EQ(hit_test(PAGE_EPISODES, 200, top + 10), -1);
                EXPECT_NE(GetPixel(target, 58, top + 10), FIXTURE_DIS_COLOUR);
            }
        }
        delete_memory_dc(target);
        drop_launcher_window();
        release_skin();
    }
}

TEST_F(episodes, failed_discovery_at_the_first_build_leaves_the_episode_page_empty)
{
    install(CASES[4]);  // module 2 without DLL_DIS
    HWND window = make_launcher_window();
    EXPECT_EQ(build_skin(window, GetModuleHandleA(NULL)), E_FAIL);
    expect_slots(CASES[4].filled);
    EXPECT_EQ(pages[PAGE_EPISODES].picture_count, 0u);
    EXPECT_EQ(pages[PAGE_EPISODES].hotspot_count, 0u);
    EXPECT_EQ(pages[PAGE_EPISODES].window_count, 0u);
    EXPECT_EQ(pages[PAGE_NEWS].picture_count, 2u);
    EXPECT_EQ(pages[PAGE_NEWS].window_count, 1u);
    EXPECT_EQ(pages[PAGE_NEWS].windows[0], news_view);
    EXPECT_EQ(pages[PAGE_NEWS].hotspot_count, 1u);
    EXPECT_EQ(pages[PAGE_MAIN].hotspot_count, 4u);
    // Alive: page 1's 2 pictures and 8 button images, page 3's panel and 2 Back images, slot 1's
    // two images; module 2's image taken alone is released.
    EXPECT_EQ(owned_skin_dc_count(), 15u);
}

TEST_F(episodes, failed_discovery_at_a_rebuild_keeps_the_previous_episode_page)
{
    install(CASES[0]);  // modules 1, 2, 3
    HWND first = make_launcher_window();
    ASSERT_EQ(build_skin(first, GetModuleHandleA(NULL)), S_OK);
    Page kept = pages[PAGE_EPISODES];
    HDC old_background = pages[PAGE_MAIN].pictures[0].dc;
    HDC old_back_hover = pages[PAGE_NEWS].hotspots[0].hover.dc;
    drop_launcher_window();

    install(CASES[4]);  // now module 2 lacks DLL_DIS
    HWND second = make_launcher_window();
    EXPECT_EQ(build_skin(second, GetModuleHandleA(NULL)), E_FAIL);
    EXPECT_EQ(memcmp(&pages[PAGE_EPISODES], &kept, sizeof(Page)), 0)
        << "the episode page keeps the previous build's content";
    EXPECT_NE(pages[PAGE_MAIN].pictures[0].dc, old_background) << "page 1 is new";
    EXPECT_NE(pages[PAGE_NEWS].hotspots[0].hover.dc, old_back_hover) << "page 3 is new";

    // Everything the kept page draws from is still alive: it draws as before.
    HDC target = make_solid_dc(533, 488, BLANK);
    HDC window_dc = draw_dc;
    draw_dc = target;
    current_page = PAGE_EPISODES;
    show_page(PAGE_EPISODES);
    draw_dc = window_dc;
    current_page = 0;
    // The background above the panel.
    Picture above_panel = kept.pictures[0];
    above_panel.height = 165;
    expect_picture_shown(target, &above_panel, "previous background above the panel");
    EXPECT_EQ(GetObjectType(old_background), (DWORD)OBJ_MEMDC);
    expect_pixel(target, 10, 10, GetPixel(old_background, 10, 10));
    expect_picture_shown(target, &kept.hotspots[0].normal, "previous Back");
    for (int i = 0; i < 3; i++)
        expect_pixel(target, 58, 240 + 40 * i, FIXTURE_DIS_COLOUR);
    EXPECT_EQ(GetObjectType(kept.hotspots[1].hover.dc), (DWORD)OBJ_MEMDC);
    EXPECT_EQ(GetPixel(kept.hotspots[1].hover.dc, 10, 10), FIXTURE_ACT_COLOUR);
    delete_memory_dc(target);
}
