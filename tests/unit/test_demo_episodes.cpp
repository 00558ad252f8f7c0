// Unit tests of the demo episode modules, loaded into this process as the launcher loads them:
// their row images, and MAIN running a real episode that a second thread plays by posting keys
// to the game's window, in the same process several times over.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "unit_support.h"

static const char GAME_WINDOW[] = "Bolvo quest.";
static const DWORD WAIT_LIMIT_MS = 30000;
static const DWORD POLL_MS = 20;
static const int32_t SCENE_WIDTH = 640;
static const int32_t SCENE_HEIGHT = 480;
// Bolvo's body colour, which nothing else in episode 2's scene uses.
static const COLORREF HERO_YELLOW = RGB(255, 214, 40);
static const int32_t MOVE_DISTANCE = 40;

typedef int (*episode_main_fn)(void);

// The demo modules are built into <build>/bin and this program into <build>/tests/unit; a bare
// name would find whatever chaptrN.dll lies in the current folder, so load them by full path.
static HMODULE load_demo_module(int32_t number)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, sizeof(path));
    char* last_slash = strrchr(path, '\\');
    if (last_slash != NULL)
        *last_slash = '\0';
    char module_path[MAX_PATH + 32];
    snprintf(module_path, sizeof(module_path), "%s\\..\\..\\bin\\chaptr%d.dll", path, (int)number);
    HMODULE module = LoadLibraryA(module_path);
    EXPECT_NE(module, (HMODULE)NULL) << module_path << ": error " << GetLastError();
    return module;
}

struct RowImage {
    int32_t found;
    int32_t width;
    int32_t height;
    uint8_t bits[400 * 40 * 4];
};

static void read_row_image(HMODULE module, const char* name, RowImage* image)
{
    memset(image, 0, sizeof(*image));
    HBITMAP bitmap = LoadBitmapA(module, name);
    if (bitmap == NULL)
        return;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    image->found = 1;
    image->width = info.bmWidth;
    image->height = info.bmHeight;
    if (info.bmWidth == 400 && info.bmHeight == 40) {
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof(format.bmiHeader);
        format.bmiHeader.biWidth = 400;
        format.bmiHeader.biHeight = -40;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(NULL);
        GetDIBits(screen, bitmap, 0, 40, image->bits, &format, DIB_RGB_COLORS);
        ReleaseDC(NULL, screen);
    }
    DeleteObject(bitmap);
}

// The file version in a module's version resource (0 when it has none).
static uint64_t file_version(HMODULE module)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), (LPCSTR)RT_VERSION);
    if (found == NULL)
        return 0;
    const uint8_t* data = (const uint8_t*)LockResource(LoadResource(module, found));
    DWORD size = SizeofResource(module, found);
    // The fixed part follows the block's header; find it by its signature.
    for (DWORD at = 0; data != NULL && at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        const VS_FIXEDFILEINFO* info = (const VS_FIXEDFILEINFO*)(data + at);
        if (info->dwSignature == 0xFEEF04BD)
            return (uint64_t)info->dwFileVersionMS << 32 | info->dwFileVersionLS;
    }
    return 0;
}

static RowImage act_image;
static RowImage dis_image;

TEST(DemoEpisodes, EveryModuleHasTwoDistinctRowImagesOf400By40MainAndTheProjectVersion)
{
    // This program carries the launcher's resources, whose version is the project's.
    uint64_t project_version = file_version(GetModuleHandleA(NULL));
    ASSERT_NE(project_version, 0u);
    for (int32_t n = 1; n <= 5; n++) {
        SCOPED_TRACE(testing::Message() << "chaptr" << n << ".dll");
        HMODULE module = load_demo_module(n);
        if (module == NULL)
            continue;
        read_row_image(module, "DLL_ACT", &act_image);
        read_row_image(module, "DLL_DIS", &dis_image);
        EXPECT_TRUE(act_image.found);
        EXPECT_TRUE(dis_image.found);
        EXPECT_EQ(act_image.width, 400);
        EXPECT_EQ(act_image.height, 40);
        EXPECT_EQ(dis_image.width, 400);
        EXPECT_EQ(dis_image.height, 40);
        // The highlighted row must look different from the plain one.
        EXPECT_NE(memcmp(act_image.bits, dis_image.bits, sizeof(act_image.bits)), 0);
        EXPECT_NE(GetProcAddress(module, "MAIN"), (FARPROC)NULL);
        EXPECT_EQ(file_version(module), project_version);
        FreeLibrary(module);
    }
}

// ---- a second thread that plays an episode through the game's window ----

enum {
    FINISH_BY_KEY,
    FINISH_BY_CLOSE,
};

struct EpisodeDriver {
    // what to do
    DWORD main_thread;
    int32_t roll_around;  // roll Bolvo right and up before leaving
    int32_t finish_how;
    WPARAM finish_key;
    // what it saw
    int32_t window_found;
    int32_t hero_found;
    int32_t moved_right;
    int32_t moved_up;
    int32_t window_gone;
};

// Finds Bolvo in a snapshot of the window: the middle of the pixels of his body colour.
static int32_t find_hero(HWND window, int32_t* x, int32_t* y)
{
    static uint32_t pixels[SCENE_WIDTH * SCENE_HEIGHT];
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = SCENE_WIDTH;
    format.bmiHeader.biHeight = -SCENE_HEIGHT;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC window_dc = GetDC(window);
    HDC snapshot_dc = CreateCompatibleDC(window_dc);
    void* bits = NULL;
    HBITMAP snapshot = CreateDIBSection(window_dc, &format, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(snapshot_dc, snapshot);
    BitBlt(snapshot_dc, 0, 0, SCENE_WIDTH, SCENE_HEIGHT, window_dc, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(pixels, bits, sizeof(pixels));
    SelectObject(snapshot_dc, old);
    DeleteObject(snapshot);
    DeleteDC(snapshot_dc);
    ReleaseDC(window, window_dc);

    const uint32_t WANTED = (uint32_t)GetRValue(HERO_YELLOW) << 16 |
                            (uint32_t)GetGValue(HERO_YELLOW) << 8 | GetBValue(HERO_YELLOW);
    int64_t sum_x = 0, sum_y = 0, count = 0;
    for (int32_t row = 0; row < SCENE_HEIGHT; row++) {
        for (int32_t column = 0; column < SCENE_WIDTH; column++) {
            if ((pixels[row * SCENE_WIDTH + column] & 0xffffff) == WANTED) {
                sum_x += column;
                sum_y += row;
                count++;
            }
        }
    }
    if (count < 100)  // his body is some 700 pixels
        return 0;
    *x = (int32_t)(sum_x / count);
    *y = (int32_t)(sum_y / count);
    return 1;
}

// Holds an arrow key down until Bolvo has rolled MOVE_DISTANCE along it (or the limit passed).
static int32_t roll(HWND window, WPARAM key, int32_t step_x, int32_t step_y)
{
    int32_t start_x = 0, start_y = 0;
    if (!find_hero(window, &start_x, &start_y))
        return 0;
    PostMessageA(window, WM_KEYDOWN, key, 1);
    int32_t moved = 0;
    for (DWORD waited = 0; waited < WAIT_LIMIT_MS && !moved; waited += POLL_MS) {
        Sleep(POLL_MS);
        int32_t x = 0, y = 0;
        if (find_hero(window, &x, &y))
            moved = (x - start_x) * step_x + (y - start_y) * step_y >= MOVE_DISTANCE;
    }
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    return moved;
}

static DWORD WINAPI drive_episode(void* argument)
{
    EpisodeDriver* driver = (EpisodeDriver*)argument;
    HWND window = NULL;
    for (DWORD waited = 0; waited < WAIT_LIMIT_MS && window == NULL; waited += POLL_MS) {
        window = FindWindowA(GAME_WINDOW, GAME_WINDOW);
        if (window == NULL)
            Sleep(POLL_MS);
    }
    if (window == NULL) {
        // No episode to play: end MAIN's loop so that the test can report it.
        PostThreadMessageA(driver->main_thread, WM_QUIT, 0, 0);
        return 0;
    }
    driver->window_found = 1;
    if (driver->roll_around) {
        int32_t x = 0, y = 0;
        for (DWORD waited = 0; waited < WAIT_LIMIT_MS && !driver->hero_found; waited += POLL_MS) {
            driver->hero_found = find_hero(window, &x, &y);
            if (!driver->hero_found)
                Sleep(POLL_MS);
        }
        driver->moved_right = roll(window, VK_RIGHT, 1, 0);
        driver->moved_up = roll(window, VK_UP, 0, -1);
    }
    if (driver->finish_how == FINISH_BY_CLOSE)
        PostMessageA(window, WM_CLOSE, 0, 0);
    else
        PostMessageA(window, WM_KEYDOWN, driver->finish_key, 1);
    for (DWORD waited = 0; waited < WAIT_LIMIT_MS && !driver->window_gone; waited += POLL_MS) {
        driver->window_gone = !IsWindow(window);
        if (!driver->window_gone)
            Sleep(POLL_MS);
    }
    if (!driver->window_gone)
        PostThreadMessageA(driver->main_thread, WM_QUIT, 0, 0);
    return 0;
}

struct EpisodeRun {
    int result;
    int32_t cursor_change;
};

// Calls MAIN as the launcher does, with the cursor display count lowered by one, while the
// driver plays; afterwards drops any WM_QUIT the driver had to post.
static EpisodeRun run_main(episode_main_fn episode_main, EpisodeDriver* driver)
{
    driver->main_thread = GetCurrentThreadId();
    HANDLE thread = CreateThread(NULL, 0, drive_episode, driver, 0, NULL);
    EXPECT_NE(thread, (HANDLE)NULL);
    int32_t count_before = ShowCursor(FALSE);
    EpisodeRun run = {};
    run.result = episode_main();
    int32_t count_after = ShowCursor(TRUE);
    run.cursor_change = count_after - (count_before + 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    pump_messages();
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    return run;
}

struct RunCase {
    const char* what;
    int32_t roll_around;
    int32_t finish_how;
    WPARAM finish_key;
    int expected_result;
};

TEST(DemoEpisodes, MainPlaysTheEpisodeAndReturnsWhatThePlayerChose)
{
    HMODULE module = load_demo_module(2);
    ASSERT_NE(module, (HMODULE)NULL);
    episode_main_fn episode_main = (episode_main_fn)(void*)GetProcAddress(module, "MAIN");
    ASSERT_NE(episode_main, (episode_main_fn)NULL);

    // One module, several runs in the same process: each must start from a clean slate.
    static const RunCase RUNS[] = {
        {"arrow keys, then Esc", 1, FINISH_BY_KEY, VK_ESCAPE, 0},
        {"Q quits the game", 0, FINISH_BY_KEY, 'Q', 1},
        {"closing the window", 0, FINISH_BY_CLOSE, 0, 0},
        {"arrow keys again, then Q", 1, FINISH_BY_KEY, 'Q', 1},
    };
    for (const RunCase& run_case : RUNS) {
        SCOPED_TRACE(run_case.what);
        EpisodeDriver driver = {};
        driver.roll_around = run_case.roll_around;
        driver.finish_how = run_case.finish_how;
        driver.finish_key = run_case.finish_key;
        EpisodeRun run = run_main(episode_main, &driver);

        EXPECT_TRUE(driver.window_found) << "no window of class and title \"Bolvo quest.\"";
        EXPECT_TRUE(driver.window_gone) << "the window outlived the key that ends the episode";
        EXPECT_EQ(run.result, run_case.expected_result);
        if (run_case.roll_around) {
            EXPECT_TRUE(driver.hero_found) << "Bolvo not seen in the window";
            EXPECT_TRUE(driver.moved_right) << "the right arrow did not roll Bolvo right";
            EXPECT_TRUE(driver.moved_up) << "the up arrow did not roll Bolvo up";
        }
        // Everything the episode made is gone by the time MAIN returns.
        EXPECT_EQ(FindWindowA(GAME_WINDOW, NULL), (HWND)NULL);
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        EXPECT_FALSE(GetClassInfoExA(module, GAME_WINDOW, &wc)) << "window class still registered";
        EXPECT_EQ(run.cursor_change, 0) << "the cursor display count was left changed";
    }
    FreeLibrary(module);
}

TEST(DemoEpisodes, EveryEpisodeRunsAndQuitsWithQ)
{
    for (int32_t n = 1; n <= 5; n++) {
        SCOPED_TRACE(testing::Message() << "chaptr" << n << ".dll");
        HMODULE module = load_demo_module(n);
        if (module == NULL)
            continue;
        episode_main_fn episode_main = (episode_main_fn)(void*)GetProcAddress(module, "MAIN");
        ASSERT_NE(episode_main, (episode_main_fn)NULL);
        EpisodeDriver driver = {};
        driver.finish_how = FINISH_BY_KEY;
        driver.finish_key = 'Q';
        EpisodeRun run = run_main(episode_main, &driver);
        EXPECT_TRUE(driver.window_found);
        EXPECT_TRUE(driver.window_gone);
        EXPECT_EQ(run.result, 1);
        FreeLibrary(module);
    }
}
