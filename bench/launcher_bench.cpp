// launcher_bench: times the launcher's own code under Wine, many repetitions of each piece of
// work, and prints one table row per measure (median, minimum and maximum in milliseconds, the
// goal and whether the median meets it). It links the same code launcher.exe is made of, so
// what it times is what a player waits for. scripts/bench builds it, starts the news servers
// and runs it: launcher_bench.exe [PORT_4K PORT_64K], the ports of two news servers on
// 127.0.0.1 serving a 4 KiB and a 64 KiB news text (without them the fetch rows are skipped).
#include <winsock2.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bootlog/bootlog.h"
#include "episodes/episodes.h"
#include "launcher/launcher.h"
#include "news/news_codec.h"
#include "news/news_fetch.h"
#include "news/news_view.h"
#include "news/proxy.h"
#include "skin/actions.h"
#include "skin/hover.h"
#include "skin/layout.h"
#include "skin/pages.h"
#include "skin/region_cache.h"
#include "skin/shape.h"

enum {
    MAX_SAMPLES = 2000,
    MAX_ROWS = 32,
    STARTUP_RUNS = 60,
    SCAN_RUNS = 12,
    HOVER_RUNS = 2000,
    SWITCH_RUNS = 1000,
    REBUILD_RUNS = 60,
    FETCH_4K_RUNS = 30,
    FETCH_64K_RUNS = 10,
    DECODE_RUNS = 500,
    FETCH_LIMIT_MS = 60000,
};

// One measure: its samples in milliseconds, the goal (0: none) and how it is shown.
struct Measure {
    char name[64];
    double samples[MAX_SAMPLES];
    int count;
    double goal_ms;
    char note[32];
};

// A finished row of the table.
struct Row {
    char name[64];
    double median;
    double min;
    double max;
    int count;
    double goal_ms;
    char note[32];
};

static Row rows[MAX_ROWS];
static int row_count;
static LARGE_INTEGER frequency;
static HINSTANCE instance;

static LONGLONG now(void)
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

static double ms_between(LONGLONG start, LONGLONG end)
{
    return (double)(end - start) * 1000.0 / (double)frequency.QuadPart;
}

static void start_measure(Measure* m, const char* name, double goal_ms)
{
    memset(m, 0, sizeof(*m));
    snprintf(m->name, sizeof(m->name), "%s", name);
    m->goal_ms = goal_ms;
}

static void add_sample(Measure* m, double ms)
{
    if (m->count < MAX_SAMPLES)
        m->samples[m->count++] = ms;
}

static int compare_doubles(const void* a, const void* b)
{
    double x = *(const double*)a;
    double y = *(const double*)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

static double median_of(Measure* m)
{
    if (m->count == 0)
        return 0;
    double sorted[MAX_SAMPLES];
    memcpy(sorted, m->samples, sizeof(double) * (size_t)m->count);
    qsort(sorted, (size_t)m->count, sizeof(double), compare_doubles);
    if (m->count % 2 == 1)
        return sorted[m->count / 2];
    return (sorted[m->count / 2 - 1] + sorted[m->count / 2]) / 2;
}

static void finish_measure(Measure* m)
{
    if (row_count >= MAX_ROWS || m->count == 0)
        return;
    Row* r = &rows[row_count++];
    snprintf(r->name, sizeof(r->name), "%s", m->name);
    snprintf(r->note, sizeof(r->note), "%s", m->note);
    r->median = median_of(m);
    r->min = r->max = m->samples[0];
    for (int i = 1; i < m->count; i++) {
        if (m->samples[i] < r->min)
            r->min = m->samples[i];
        if (m->samples[i] > r->max)
            r->max = m->samples[i];
    }
    r->count = m->count;
    r->goal_ms = m->goal_ms;
}

// A row whose figures are told, not sampled (a difference of two medians).
static void add_derived_row(const char* name, double median, double goal_ms, const char* note)
{
    if (row_count >= MAX_ROWS)
        return;
    Row* r = &rows[row_count++];
    memset(r, 0, sizeof(*r));
    snprintf(r->name, sizeof(r->name), "%s", name);
    snprintf(r->note, sizeof(r->note), "%s", note);
    r->median = r->min = r->max = median;
    r->count = -1;
    r->goal_ms = goal_ms;
}

static void print_table(void)
{
    printf("\n%-44s %9s %9s %9s %6s %8s %7s\n", "measure", "median", "min", "max", "runs",
           "goal", "");
    for (int i = 0; i < row_count; i++) {
        const Row* r = &rows[i];
        char goal[24] = "-";
        const char* verdict = "";
        if (r->goal_ms > 0) {
            snprintf(goal, sizeof(goal), "<=%g", r->goal_ms);
            verdict = r->median <= r->goal_ms ? "met" : "MISSED";
        }
        if (r->count < 0) {
            printf("%-44s %9.3f %9s %9s %6s %8s %7s %s\n", r->name, r->median, "", "", "",
                   goal, verdict, r->note);
        } else {
            printf("%-44s %9.3f %9.3f %9.3f %6d %8s %7s %s\n", r->name, r->median, r->min,
                   r->max, r->count, goal, verdict, r->note);
        }
    }
    printf("(milliseconds; a goal is met when the median is within it)\n");
    fflush(stdout);
}

static void pump(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- working folder --------------------------------------------------------------------------

static char work_path[MAX_PATH];

static void enter_work_folder(void)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    snprintf(work_path, sizeof(work_path), "%sbolvo_bench_%lu", temp,
             (unsigned long)GetCurrentProcessId());
    CreateDirectoryA(work_path, NULL);
    SetCurrentDirectoryA(work_path);
}

static void leave_work_folder(void)
{
    DeleteFileA(REGION_CACHE_FILE);
    DeleteFileA(REGION_CACHE_TEMP_FILE);
    DeleteFileA(LOG_FILE_NAME);
    SetCurrentDirectoryA("..");
    RemoveDirectoryA(work_path);
}

// ---- the launcher window ---------------------------------------------------------------------

static void drop_window(void)
{
    if (main_window != NULL) {
        DestroyWindow(main_window);
        main_window = NULL;
    }
    UnregisterClassA(window_class_name, instance);
}

static void make_window(void)
{
    register_launcher_class(instance);
    create_launcher_window(instance);
}

static int episode_count(void)
{
    int n = 0;
    for (int i = 0; i < MAX_EPISODES; i++)
        n += episode_images[i].act != NULL;
    return n;
}

// Start-up after the processor measurement, as launcher_main does it, with qmkx.dat present.
static void bench_startup(void)
{
    Measure create, shape, skin, reading, show, total;
    start_measure(&create, "window creation (register + create)", 0);
    start_measure(&shape, "shape_window, cache present (incl. skin)", 0);
    start_measure(&skin, "build_skin alone", 0);
    start_measure(&reading, "shape_window's reading part (minus skin)", 0);
    start_measure(&show, "first show_page", 0);
    start_measure(&total, "START-UP beyond the measurement", 30);
    snprintf(total.note, sizeof(total.note), "create+shape+show");

    // One start that writes the cache, not counted.
    DeleteFileA(REGION_CACHE_FILE);
    make_window();
    shape_window(main_window, instance);
    pump();
    for (int i = 0; i < STARTUP_RUNS; i++) {
        drop_window();
        pump();
        LONGLONG t0 = now();
        make_window();
        LONGLONG t1 = now();
        shape_window(main_window, instance);
        LONGLONG t2 = now();
        SetCursor(hand_cursor);
        ShowWindow(main_window, SW_SHOW);
        current_page = PAGE_MAIN;
        LONGLONG t3 = now();
        show_page(PAGE_MAIN);
        GdiFlush();
        LONGLONG t4 = now();
        pump();
        // The skin once more on the same window, alone: what shape_window spends on it.
        LONGLONG t5 = now();
        build_skin(main_window, instance);
        LONGLONG t6 = now();
        pump();
        add_sample(&create, ms_between(t0, t1));
        add_sample(&shape, ms_between(t1, t2));
        add_sample(&skin, ms_between(t5, t6));
        add_sample(&reading, ms_between(t1, t2) - ms_between(t5, t6));
        add_sample(&show, ms_between(t3, t4));
        add_sample(&total, ms_between(t0, t4));
    }
    snprintf(skin.note, sizeof(skin.note), "%d episode modules", episode_count());
    finish_measure(&create);
    finish_measure(&shape);
    finish_measure(&skin);
    finish_measure(&reading);
    finish_measure(&show);
    finish_measure(&total);
}

// Where build_skin's time goes: its pieces timed one by one on the launcher window, each
// undone afterwards so that the skin itself stays as it was.
static const char* const SKIN_BITMAPS[] = {
    "#159", "#160", "#181", "#182", "#161", "#162", "#163", "#164",
    "#165", "#166", "#170", "#171", "#176", "#175",
};

static void bench_skin_pieces(void)
{
    Measure pictures, episodes, modules, view;
    start_measure(&pictures, "  piece: the skin's 14 bitmaps (load_picture)", 0);
    start_measure(&episodes, "  piece: find_episodes (module row images)", 0);
    start_measure(&modules, "  of which: LoadLibrary+FreeLibrary x5 alone", 0);
    start_measure(&view, "  piece: create_news_view (Rich Edit)", 0);
    const int count = (int)(sizeof(SKIN_BITMAPS) / sizeof(SKIN_BITMAPS[0]));
    for (int i = 0; i < STARTUP_RUNS; i++) {
        HDC dcs[sizeof(SKIN_BITMAPS) / sizeof(SKIN_BITMAPS[0])];
        LONGLONG t0 = now();
        for (int b = 0; b < count; b++)
            load_picture(main_window, instance, SKIN_BITMAPS[b], &dcs[b]);
        LONGLONG t1 = now();
        for (int b = 0; b < count; b++) {
            HGDIOBJ bitmap = GetCurrentObject(dcs[b], OBJ_BITMAP);
            DeleteDC(dcs[b]);
            DeleteObject(bitmap);
        }

        EpisodeImages kept[MAX_EPISODES];
        memcpy(kept, episode_images, sizeof(kept));
        LONGLONG t2 = now();
        find_episodes(main_window);
        LONGLONG t3 = now();
        // The rows still draw the images they had; the fresh ones are released as unused.
        memcpy(episode_images, kept, sizeof(kept));
        release_unused_skin_dcs();

        LONGLONG m0 = now();
        for (int32_t n = 1; n <= MAX_EPISODES; n++) {
            char name[16];
            episode_file_name(n, name, sizeof(name));
            HMODULE module = LoadLibraryA(name);
            if (module != NULL)
                FreeLibrary(module);
        }
        LONGLONG m1 = now();
        add_sample(&modules, ms_between(m0, m1));

        HWND view_before = news_view;
        LONGLONG t4 = now();
        create_news_view(main_window, instance, skin_font);
        LONGLONG t5 = now();
        DestroyWindow(news_view);
        news_view = view_before;
        pump();

        add_sample(&pictures, ms_between(t0, t1));
        add_sample(&episodes, ms_between(t2, t3));
        add_sample(&view, ms_between(t4, t5));
    }
    finish_measure(&pictures);
    finish_measure(&episodes);
    finish_measure(&modules);
    finish_measure(&view);
}

// The first start in a folder: no qmkx.dat, the bitmap is scanned and the cache written.
static void bench_scan(void)
{
    Measure scan, cached;
    start_measure(&scan, "FIRST-START scan (shape_window, no cache)", 300);
    start_measure(&cached, "  against: shape_window with the cache", 0);
    for (int i = 0; i < 2 * SCAN_RUNS; i++) {
        drop_window();
        pump();
        make_window();
        int with_cache = i % 2;
        if (!with_cache)
            DeleteFileA(REGION_CACHE_FILE);
        LONGLONG t0 = now();
        shape_window(main_window, instance);
        LONGLONG t1 = now();
        add_sample(with_cache ? &cached : &scan, ms_between(t0, t1));
        pump();
    }
    finish_measure(&scan);
    finish_measure(&cached);
}

// Hover changes between the first two buttons of the main page, and page switches.
static void bench_hover_and_switch(void)
{
    drop_window();
    make_window();
    shape_window(main_window, instance);
    ShowWindow(main_window, SW_SHOW);
    current_page = PAGE_MAIN;
    show_page(PAGE_MAIN);
    pump();

    Measure hover;
    start_measure(&hover, "HOVER change (update_hover, main page)", 2);
    hover_index = 0;
    for (int i = 0; i < HOVER_RUNS; i++) {
        int32_t next = hover_index == 0 ? 1 : 0;
        LONGLONG t0 = now();
        update_hover(1, next);
        GdiFlush();
        LONGLONG t1 = now();
        hover_index = next;
        add_sample(&hover, ms_between(t0, t1));
        if (i % 64 == 0)
            pump();
    }
    finish_measure(&hover);

    Measure to_episodes, to_main;
    start_measure(&to_episodes, "PAGE SWITCH main -> episodes", 5);
    start_measure(&to_main, "PAGE SWITCH episodes -> main", 5);
    last_mouse_x = 0;
    last_mouse_y = 0;
    hover_index = -1;
    current_page = PAGE_MAIN;
    for (int i = 0; i < SWITCH_RUNS; i++) {
        int32_t target = current_page == PAGE_MAIN ? PAGE_EPISODES : PAGE_MAIN;
        LONGLONG t0 = now();
        switch_page(target);
        GdiFlush();
        LONGLONG t1 = now();
        add_sample(target == PAGE_EPISODES ? &to_episodes : &to_main, ms_between(t0, t1));
        if (i % 64 == 0)
            pump();
    }
    finish_measure(&to_episodes);
    finish_measure(&to_main);
    current_page = PAGE_MAIN;
    show_page(PAGE_MAIN);
    pump();
}

static const char PLAIN_CLASS[] = "bolvo_bench_plain";

static HWND make_plain_window(void)
{
    POINT origin =
        launcher_window_origin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return CreateWindowExA(0, PLAIN_CLASS, "plain", WS_POPUP, origin.x, origin.y,
                           LAUNCHER_WIDTH, LAUNCHER_HEIGHT, NULL, NULL, instance, NULL);
}

// One rebuild after an episode, as run_episode does it without the episode, against the floor
// of destroying a plain window of the same size and showing a new one, taken in turns.
static void bench_rebuild(void)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = PLAIN_CLASS;
    RegisterClassExA(&wc);
    HWND plain = make_plain_window();
    ShowWindow(plain, SW_SHOW);
    pump();

    Measure rebuild, floor, beyond;
    start_measure(&rebuild, "rebuild after an episode", 0);
    start_measure(&floor, "  floor: destroy + show a plain window", 0);
    start_measure(&beyond, "REBUILD beyond the floor (pairwise)", 100);
    for (int i = 0; i < REBUILD_RUNS; i++) {
        LONGLONG t0 = now();
        DestroyWindow(main_window);
        UnregisterClassA(window_class_name, app_instance);
        register_launcher_class(app_instance);
        create_launcher_window(app_instance);
        shape_window(main_window, app_instance);
        ShowWindow(main_window, SW_SHOW);
        SetCursor(hand_cursor);
        current_page = PAGE_EPISODES;
        show_page(current_page);
        GdiFlush();
        LONGLONG t1 = now();
        pump();

        LONGLONG t2 = now();
        DestroyWindow(plain);
        plain = make_plain_window();
        ShowWindow(plain, SW_SHOW);
        GdiFlush();
        LONGLONG t3 = now();
        pump();

        add_sample(&rebuild, ms_between(t0, t1));
        add_sample(&floor, ms_between(t2, t3));
        add_sample(&beyond, ms_between(t0, t1) - ms_between(t2, t3));
    }
    DestroyWindow(plain);
    UnregisterClassA(PLAIN_CLASS, instance);
    pump();
    finish_measure(&rebuild);
    finish_measure(&floor);
    finish_measure(&beyond);
}

// ---- the news fetch --------------------------------------------------------------------------

static void set_proxy_port(int port)
{
    HKEY key = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, PROXY_SETTINGS_KEY, 0, NULL, 0, KEY_WRITE, NULL, &key,
                    NULL);
    DWORD enable = 1;
    char server[64];
    snprintf(server, sizeof(server), "127.0.0.1:%d", port);
    RegSetValueExA(key, "ProxyEnable", 0, REG_DWORD, (const BYTE*)&enable, sizeof(enable));
    RegSetValueExA(key, "ProxyServer", 0, REG_SZ, (const BYTE*)server, (DWORD)strlen(server) + 1);
    RegCloseKey(key);
}

// Times whole fetches through the proxy at 127.0.0.1:port, from the worker's start to the
// news in the view (news_loaded), then lets the worker end before the next one.
static void bench_fetch(int port, const char* name, double goal_ms, int runs)
{
    set_proxy_port(port);
    Measure fetch, worker;
    char worker_name[64];
    snprintf(worker_name, sizeof(worker_name), "  same, to the worker's end");
    start_measure(&fetch, name, goal_ms);
    start_measure(&worker, worker_name, 0);
    int failed = 0;
    long shown_chars = 0;
    for (int i = 0; i < runs; i++) {
        InterlockedExchange(&news_loaded, 0);
        LONGLONG t0 = now();
        HANDLE thread = CreateThread(NULL, 0, fetch_news, NULL, 0, NULL);
        LONGLONG loaded_at = 0;
        DWORD started = GetTickCount();
        for (;;) {
            // A short wait: the worker sets news_loaded without sending anything afterwards.
            MsgWaitForMultipleObjects(1, &thread, FALSE, 1, QS_ALLINPUT);
            pump();
            if (loaded_at == 0 && news_loaded != 0)
                loaded_at = now();
            if (WaitForSingleObject(thread, 0) == WAIT_OBJECT_0)
                break;
            if (GetTickCount() - started > FETCH_LIMIT_MS)
                break;
        }
        pump();
        if (loaded_at == 0 && news_loaded != 0)
            loaded_at = now();
        LONGLONG t1 = now();
        CloseHandle(thread);
        if (loaded_at == 0) {
            failed++;
            continue;
        }
        shown_chars = (long)GetWindowTextLengthA(news_view);
        add_sample(&fetch, ms_between(t0, loaded_at));
        add_sample(&worker, ms_between(t0, t1));
    }
    snprintf(fetch.note, sizeof(fetch.note), "%ld chars shown%s", shown_chars,
             failed ? ", SOME FAILED" : "");
    if (failed)
        printf("%s: %d of %d fetches did not show the news\n", name, failed, runs);
    finish_measure(&fetch);
    finish_measure(&worker);
}

static void bench_news(int port_4k, int port_64k)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "bolvo_bench_news";
    RegisterClassExA(&wc);
    HWND parent = CreateWindowExA(0, wc.lpszClassName, "news", WS_POPUP, 0, 0, LAUNCHER_WIDTH,
                                  LAUNCHER_HEIGHT, NULL, NULL, instance, NULL);
    LoadLibraryA("Riched20.dll");
    create_news_view(parent, instance, skin_font);
    ShowWindow(news_view, SW_SHOW);
    pump();
    news_socket_timeout_ms = 10000;
    bench_fetch(port_4k, "NEWS FETCH 4 KiB text (to view)", 100, FETCH_4K_RUNS);
    bench_fetch(port_64k, "NEWS FETCH 64 KiB reply (to view)", 1000, FETCH_64K_RUNS);
    DestroyWindow(parent);
    pump();
}

// ---- decoding --------------------------------------------------------------------------------

static char decode_source[NEWS_REPLY_SIZE + 1];
static char decode_buffer[NEWS_REPLY_SIZE + 1];

static void bench_decode(void)
{
    size_t at = 0;
    memcpy(decode_source + at, news_marker, NEWS_MARKER_LENGTH);
    at += NEWS_MARKER_LENGTH;
    for (size_t i = 0; i < NEWS_REPLY_SIZE - 2 * NEWS_MARKER_LENGTH; i++)
        decode_source[at++] = news_alphabet[(i * 7 + 3) % NEWS_ALPHABET_SIZE];
    memcpy(decode_source + at, news_marker, NEWS_MARKER_LENGTH);
    at += NEWS_MARKER_LENGTH;
    decode_source[at] = 0;

    Measure decode;
    start_measure(&decode, "DECODE largest payload (65,520 symbols)", 1);
    for (int i = 0; i < DECODE_RUNS; i++) {
        memcpy(decode_buffer, decode_source, sizeof(decode_buffer));
        LONGLONG t0 = now();
        int32_t status = decode_news(decode_buffer);
        LONGLONG t1 = now();
        if (status < 0) {
            printf("decode_news failed\n");
            return;
        }
        add_sample(&decode, ms_between(t0, t1));
    }
    snprintf(decode.note, sizeof(decode.note), "%u bytes out", (unsigned)strlen(news_text));
    finish_measure(&decode);
}

int main(int argc, char** argv)
{
    QueryPerformanceFrequency(&frequency);
    instance = GetModuleHandleA(NULL);
    app_instance = instance;
    LoadStringA(instance, STRING_WINDOW_TITLE, window_title, TEXT_SIZE);
    LoadStringA(instance, STRING_WINDOW_CLASS, window_class_name, TEXT_SIZE);
    // The window is torn down and built again here all the time; nothing of it ends the run.
    quit_on_destroy = 0;
    enter_work_folder();
    printf("launcher_bench: working in %s\n", work_path);
    fflush(stdout);

    bench_startup();
    bench_skin_pieces();
    bench_scan();
    bench_hover_and_switch();
    bench_rebuild();
    if (argc >= 3)
        bench_news(atoi(argv[1]), atoi(argv[2]));
    else
        printf("no news server ports given: the fetches are not timed\n");
    bench_decode();

    drop_window();
    pump();
    leave_work_folder();
    print_table();
    return 0;
}
