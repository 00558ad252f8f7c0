// Running an episode with the test modules: what run_episode leaves behind for each result of
// MAIN, for a module that cannot be loaded or has no MAIN, for a second run of the same module,
// and how the dispatcher's episode commands reach it. A program of its own, because a module
// that MAIN ran from stays loaded until the process ends.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "episodes/episodes.h"
#include "launcher/launcher.h"
#include "news/news_view.h"
#include "skin/actions.h"
#include "skin/layout.h"
#include "skin/pages.h"
#include "unit_support.h"

static char log_path[MAX_PATH];

static int cursor_count(void)
{
    int count = ShowCursor(TRUE);
    ShowCursor(FALSE);
    return count - 1;
}

// How many times MAIN of a test module has run since the work folder was made.
static int main_runs(void)
{
    FILE* log = fopen(log_path, "r");
    if (log == NULL)
        return 0;
    int runs = 0;
    char line[200];
    while (fgets(line, sizeof(line), log) != NULL) {
        if (strncmp(line, "MAIN ", 5) == 0)
            runs++;
    }
    fclose(log);
    return runs;
}

static int take_quit(void)
{
    MSG msg;
    return PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
}

static void set_main_result(const char* value)
{
    _putenv_s("BOLVO_TEST_EPISODE_RESULT", value);
}

// The launcher as start-up leaves it, on the episode chooser.
static void start_launcher(void)
{
    HWND window = make_launcher_window();
    ASSERT_NE(window, (HWND)NULL);
    build_skin(window, GetModuleHandleA(NULL));
    ShowWindow(window, SW_SHOWNA);
    current_page = PAGE_EPISODES;
    keep_running = 1;
    quit_on_destroy = 1;
    pump_messages();
}

// The launcher built again after an episode: a new, shown window of the launcher's class on the
// episode chooser, a new skin for it, both loop flags set, the cursor count 49 higher.
static void expect_rebuilt_(const char* file, int line, HWND old_window, int cursor_before)
{
    SCOPED_TRACE(testing::Message() << "rebuilt launcher, checked from " << file << ":" << line);
    EXPECT_FALSE(IsWindow(old_window)) << "the old window is destroyed";
    ASSERT_TRUE(IsWindow(main_window)) << "no new window";
    EXPECT_NE(main_window, old_window);
    EXPECT_TRUE(IsWindowVisible(main_window));
    char class_name[100] = "";
    GetClassNameA(main_window, class_name, sizeof(class_name));
    EXPECT_STREQ(class_name, window_class_name);
    EXPECT_EQ(current_page, PAGE_EPISODES);
    EXPECT_EQ(keep_running, 1);
    EXPECT_EQ(quit_on_destroy, 1);
    EXPECT_EQ(cursor_count(), cursor_before + 49);
    expect_cursor(LoadCursorA(NULL, IDC_HAND), "hand");
    EXPECT_EQ(WindowFromDC(draw_dc), main_window);
    EXPECT_EQ(pages[PAGE_MAIN].windows[0], main_window);
    EXPECT_EQ(pages[PAGE_NEWS].windows[0], news_view);
    EXPECT_EQ(GetParent(news_view), main_window);
    EXPECT_EQ(pages[PAGE_EPISODES].hotspot_count, 6u);
    EXPECT_EQ(pages[PAGE_EPISODES].hotspots[1].enabled, 1) << "module 1 found again";
    EXPECT_FALSE(take_quit()) << "a rebuilt launcher posts no WM_QUIT itself";
}
#define expect_rebuilt(old_window, cursor_before) \
    expect_rebuilt_(__FILE__, __LINE__, old_window, cursor_before)

class run_episode_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A folder per test: the module that MAIN ran from stays loaded, its file in use.
        enter_work_folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        install_fixture("fixture_good", 1);
        install_fixture("fixture_no_main", 2);
        // chaptr3.dll is missing.
        snprintf(log_path, sizeof(log_path), "%s\\episode.log", work_folder());
        _putenv_s("BOLVO_TEST_EPISODE_LOG", log_path);
        set_main_result("0");
        start_launcher();
    }
    void TearDown() override
    {
        quit_on_destroy = 0;
        keep_running = 0;
        if (IsWindow(main_window))
            drop_launcher_window();
        release_skin();
        while (take_quit()) {
        }
        current_page = 0;
        _putenv_s("BOLVO_TEST_EPISODE_RESULT", "");
        _putenv_s("BOLVO_TEST_EPISODE_LOG", "");
        leave_work_folder();
    }
};

TEST_F(run_episode_test, after_each_result_the_launcher_is_rebuilt_or_ends)
{
    struct {
        const char* what;
        int32_t selected;
        const char* result;
        HRESULT status;
        int rebuilt;
        int runs;
    } cases[] = {
        {"MAIN returns 0", CMD_EPISODE_1, "0", S_OK, 1, 1},
        {"MAIN returns 2", CMD_EPISODE_1, "2", S_OK, 1, 1},
        {"MAIN returns -1", CMD_EPISODE_1, "-1", S_OK, 1, 1},
        {"module without MAIN", CMD_EPISODE_2, "0", E_FAIL, 1, 0},
        {"module that cannot be loaded", CMD_EPISODE_3, "0", E_FAIL, 1, 0},
        {"MAIN returns 1", CMD_EPISODE_1, "1", S_OK, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!IsWindow(main_window))
            start_launcher();
        set_main_result(c.result);
        selected_episode = c.selected;
        HWND old_window = main_window;
        int cursor_before = cursor_count();
        int runs_before = main_runs();

        EXPECT_EQ(run_episode(), c.status);
        EXPECT_EQ(main_runs() - runs_before, c.runs) << "times MAIN ran";
        if (c.rebuilt) {
            expect_rebuilt(old_window, cursor_before);
        } else {
            EXPECT_FALSE(IsWindow(old_window));
            EXPECT_EQ(main_window, old_window) << "main_window keeps the destroyed handle";
            WNDCLASSEXA info = {};
            info.cbSize = sizeof(info);
            EXPECT_FALSE(GetClassInfoExA(GetModuleHandleA(NULL), window_class_name, &info))
                << "the class stays unregistered";
            EXPECT_TRUE(take_quit()) << "WM_QUIT posted";
            EXPECT_EQ(keep_running, 0);
            EXPECT_EQ(quit_on_destroy, 1);
            EXPECT_EQ(cursor_count(), cursor_before - 1);
        }
    }
    // Modules 2 (no MAIN) and 3 (missing) are not held; module 1, whose MAIN ran, stays loaded.
    EXPECT_NE(GetModuleHandleA("chaptr1.dll"), (HMODULE)NULL);
    EXPECT_EQ(GetModuleHandleA("chaptr2.dll"), (HMODULE)NULL);
}

TEST_F(run_episode_test, a_second_run_calls_main_of_the_module_kept_loaded)
{
    selected_episode = CMD_EPISODE_1;
    ASSERT_EQ(run_episode(), S_OK);
    HMODULE first = GetModuleHandleA("chaptr1.dll");
    ASSERT_NE(first, (HMODULE)NULL) << "the module stays loaded after MAIN";
    EXPECT_EQ(main_runs(), 1);
    // With the file gone from its name, only the loaded module can answer the second load.
    int renamed = MoveFileA("chaptr1.dll", "moved_away.dll");
    printf("chaptr1.dll %s before the second run\n",
           renamed ? "renamed away" : "could not be renamed (loaded)");
    HWND old_window = main_window;
    int cursor_before = cursor_count();
    EXPECT_EQ(run_episode(), S_OK);
    EXPECT_EQ(main_runs(), 2);
    EXPECT_EQ(GetModuleHandleA("chaptr1.dll"), first);
    expect_rebuilt(old_window, cursor_before);
}

TEST_F(run_episode_test, episode_commands_run_the_selected_module_and_end_the_loop_pass)
{
    // Page 4 holds the two commands that do not name a module; ACT_RUN_EPISODE's argument names
    // module 2 (no MAIN) to show that it is not read.
    Page* commands = &pages[4];
    commands->hotspot_count = 2;
    commands->hotspots[0].action = ACT_COMMAND;
    commands->hotspots[0].argument = CMD_RUN_SELECTED;
    commands->hotspots[0].enabled = 1;
    commands->hotspots[1].action = ACT_RUN_EPISODE;
    commands->hotspots[1].argument = CMD_EPISODE_2;
    commands->hotspots[1].enabled = 1;
    struct {
        const char* what;
        int32_t page, index, selected_before, selected_after;
    } cases[] = {
        {"row 1 of the episode page", PAGE_EPISODES, 1, 0, CMD_EPISODE_1},
        {"CMD_RUN_SELECTED", 4, 0, CMD_EPISODE_1, CMD_EPISODE_1},
        {"ACT_RUN_EPISODE", 4, 1, CMD_EPISODE_1, CMD_EPISODE_1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        selected_episode = c.selected_before;
        current_page = c.page;
        HWND old_window = main_window;
        int cursor_before = cursor_count();
        int runs_before = main_runs();
        do_action(c.index);
        EXPECT_EQ(selected_episode, c.selected_after);
        EXPECT_EQ(main_runs() - runs_before, 1) << "MAIN of module 1 ran once";
        // The dispatcher's WM_DESTROY reached the new window, which posted WM_QUIT to end the
        // loop's pass; the window itself stays.
        EXPECT_TRUE(take_quit());
        EXPECT_TRUE(IsWindow(main_window));
        EXPECT_NE(main_window, old_window);
        EXPECT_EQ(cursor_count(), cursor_before + 49);
        EXPECT_EQ(current_page, PAGE_EPISODES);
    }
    // Row 2 of the episode page: module 2 has no MAIN, the launcher comes back all the same.
    current_page = PAGE_EPISODES;
    HWND old_window = main_window;
    do_action(2);
    EXPECT_EQ(selected_episode, CMD_EPISODE_2);
    EXPECT_TRUE(take_quit());
    EXPECT_TRUE(IsWindow(main_window));
    EXPECT_NE(main_window, old_window);
    pages[4].hotspot_count = 0;
}
