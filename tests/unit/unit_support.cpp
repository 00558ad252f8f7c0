// Shared helpers of the Windows unit tests.
#include "unit_support.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include "episodes/episodes.h"
#include "launcher/launcher.h"
#include "skin/layout.h"

void load_launcher_strings(void)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    ASSERT_GT(LoadStringA(instance, STRING_WINDOW_TITLE, window_title, TEXT_SIZE), 0);
    ASSERT_GT(LoadStringA(instance, STRING_WINDOW_CLASS, window_class_name, TEXT_SIZE), 0);
}

void pump_messages(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND make_launcher_window(void)
{
    load_launcher_strings();
    HINSTANCE instance = GetModuleHandleA(NULL);
    register_launcher_class(instance);
    EXPECT_EQ(create_launcher_window(instance), 1) << "error " << GetLastError();
    return main_window;
}

void drop_launcher_window(void)
{
    DestroyWindow(main_window);
    UnregisterClassA(window_class_name, GetModuleHandleA(NULL));
}

HDC make_solid_dc(int32_t width, int32_t height, COLORREF colour)
{
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(NULL, screen);
    SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    return dc;
}

void delete_memory_dc(HDC dc)
{
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

Picture solid_picture(int32_t x, int32_t y, int32_t width, int32_t height, COLORREF colour)
{
    Picture picture = {make_solid_dc(width, height, colour), x, y, width, height};
    return picture;
}

void clear_page_table(void)
{
    memset(pages, 0, sizeof(pages));
}

void expect_pixel_(const char* file, int line, HDC dc, int32_t x, int32_t y, COLORREF expected)
{
    COLORREF actual = GetPixel(dc, x, y);
    if (actual != expected) {
        ADD_FAILURE_AT(file, line) << "pixel (" << x << ", " << y << "): expected 0x" << std::hex
                                   << expected << ", got 0x" << actual;
    }
}

uint32_t picture_mismatches(HDC target, const Picture* picture)
{
    uint32_t mismatches = 0;
    for (int32_t y = 0; y < picture->height; y++) {
        for (int32_t x = 0; x < picture->width; x++) {
            if (GetPixel(target, picture->x + x, picture->y + y) != GetPixel(picture->dc, x, y))
                mismatches++;
        }
    }
    return mismatches;
}

void expect_picture_shown_(const char* file, int line, HDC target, const Picture* picture,
                           const char* what)
{
    uint32_t mismatches = picture_mismatches(target, picture);
    if (mismatches != 0) {
        ADD_FAILURE_AT(file, line) << what << " at " << picture->x << ", " << picture->y << " ("
                                   << picture->width << " x " << picture->height
                                   << "): expected every pixel from its image, " << mismatches
                                   << " differ";
    }
}

static const char* cursor_name(HCURSOR cursor)
{
    if (cursor == LoadCursorA(NULL, IDC_HAND))
        return "hand";
    if (cursor == LoadCursorA(NULL, IDC_ARROW))
        return "arrow";
    if (cursor == sentinel_cursor())
        return "sentinel (not set by the call)";
    return "other";
}

void expect_cursor_(const char* file, int line, HCURSOR expected, const char* expected_name)
{
    HCURSOR actual = GetCursor();
    if (actual != expected) {
        ADD_FAILURE_AT(file, line) << "cursor: expected " << expected_name << ", got "
                                   << cursor_name(actual);
    }
}

HCURSOR sentinel_cursor(void)
{
    return LoadCursorA(NULL, IDC_WAIT);
}

static char work_path[MAX_PATH];
static char previous_directory[MAX_PATH];

void enter_work_folder(const char* tag)
{
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof(temp), temp), 0u);
    snprintf(work_path, sizeof(work_path), "%sbolvo_%s_%lu", temp, tag,
             (unsigned long)GetCurrentProcessId());
    CreateDirectoryA(work_path, NULL);
    ASSERT_NE(GetFileAttributesA(work_path), INVALID_FILE_ATTRIBUTES) << work_path;
    GetCurrentDirectoryA(sizeof(previous_directory), previous_directory);
    ASSERT_TRUE(SetCurrentDirectoryA(work_path)) << work_path;
}

void leave_work_folder(void)
{
    SetCurrentDirectoryA(previous_directory);
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof(pattern), "%s\\*", work_path);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            char path[MAX_PATH];
            snprintf(path, sizeof(path), "%s\\%s", work_path, found.cFileName);
            DeleteFileA(path);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(work_path);
}

const char* work_folder(void)
{
    return work_path;
}

int wait_until(int (*cond)(void), DWORD limit_ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        pump_messages();
        if (cond())
            return 1;
        if (GetTickCount() - start >= limit_ms)
            return cond();
        Sleep(10);
    }
}

uint32_t dc_mismatches(HDC dc, HDC reference, int32_t width, int32_t height)
{
    uint32_t mismatches = 0;
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            if (GetPixel(dc, x, y) != GetPixel(reference, x, y))
                mismatches++;
        }
    }
    return mismatches;
}

void expect_resource_image_(const char* file, int line, const Picture* picture, const char* name)
{
    if (picture->dc == NULL) {
        ADD_FAILURE_AT(file, line) << "expected bitmap " << name << ", got no device context";
        return;
    }
    BITMAP shown = {};
    GetObjectA(GetCurrentObject(picture->dc, OBJ_BITMAP), sizeof(shown), &shown);
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(NULL), name);
    BITMAP wanted = {};
    GetObjectA(bitmap, sizeof(wanted), &wanted);
    if (shown.bmWidth != wanted.bmWidth || shown.bmHeight != wanted.bmHeight) {
        ADD_FAILURE_AT(file, line) << "bitmap " << name << ": expected " << wanted.bmWidth << " x "
                                   << wanted.bmHeight << ", got " << shown.bmWidth << " x "
                                   << shown.bmHeight;
        DeleteObject(bitmap);
        return;
    }
    HDC screen = GetDC(NULL);
    HDC reference = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    HGDIOBJ previous = SelectObject(reference, bitmap);
    uint32_t mismatches = dc_mismatches(picture->dc, reference, wanted.bmWidth, wanted.bmHeight);
    if (mismatches != 0) {
        ADD_FAILURE_AT(file, line) << "bitmap " << name << ": expected its pixels, " << mismatches
                                   << " differ";
    }
    SelectObject(reference, previous);
    DeleteDC(reference);
    DeleteObject(bitmap);
}

void release_skin(void)
{
    clear_page_table();
    for (int32_t i = 0; i < MAX_EPISODES; i++) {
        episode_images[i].act = NULL;
        episode_images[i].dis = NULL;
    }
    release_unused_skin_dcs();
    if (skin_font != NULL)
        DeleteObject(skin_font);
    skin_font = NULL;
}

void install_fixture_(const char* file, int line, const char* fixture, int number)
{
    // The test programs lie in <build>/tests/unit/, the modules in <build>/fixtures/.
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    for (int level = 0; level < 3; level++) {
        char* slash = strrchr(path, '\\');
        if (slash == NULL)
            slash = strrchr(path, '/');
        if (slash != NULL)
            *slash = '\0';
    }
    char source[MAX_PATH];
    snprintf(source, sizeof(source), "%s\\fixtures\\%s.dll", path, fixture);
    char destination[MAX_PATH];
    snprintf(destination, sizeof(destination), "%s\\chaptr%d.dll", work_folder(), number);
    if (!CopyFileA(source, destination, FALSE)) {
        ADD_FAILURE_AT(file, line) << "copying " << source << " to " << destination
                                   << ": error " << GetLastError();
    }
}

int read_whole_file(const char* name, std::string* text)
{
    text->clear();
    FILE* file = fopen(name, "rb");
    if (file == NULL)
        return 0;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0)
        text->append(chunk, n);
    fclose(file);
    return 1;
}
