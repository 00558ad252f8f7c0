// A small Windows console tool that the end-to-end tests run beside the launcher to look at it
// from inside the same Wine session: where a window is, what a message box says, and a stand-in
// for the game's window.
//
//   winprobe find CLASS TITLE       prints "x y width height" of the window, or "none" (exit 1)
//   winprobe count CLASS TITLE      prints how many top-level windows have that class and title
//   winprobe msgbox SECONDS         waits for a message box, prints its caption and text on two
//                                   lines, then presses its OK button (exit 1 if none came)
//   winprobe hold CLASS TITLE FILE  shows a window of that class and title until FILE is gone
//   winprobe region CLASS TITLE X Y prints 1 when the window's region holds (X, Y), else 0
//   winprobe text CLASS TITLE CHILD  prints the text of the window's first child of class CHILD
//   winprobe charpos CLASS TITLE CHILD INDEX
//                                   prints the screen position of character INDEX of that child
#include <windows.h>
#include <richedit.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>

static int find_window(const char* window_class, const char* title)
{
    HWND window = FindWindowA(window_class, title);
    if (window == NULL) {
        printf("none\n");
        return 1;
    }
    RECT frame;
    GetWindowRect(window, &frame);
    printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
           frame.bottom - frame.top);
    return 0;
}

struct WindowCount {
    const char* window_class;
    const char* title;
    int count;
};

static BOOL CALLBACK count_one(HWND window, LPARAM context)
{
    WindowCount* wanted = (WindowCount*)context;
    char text[256];
    GetClassNameA(window, text, sizeof(text));
    if (strcmp(text, wanted->window_class) != 0)
        return TRUE;
    GetWindowTextA(window, text, sizeof(text));
    if (strcmp(text, wanted->title) == 0)
        wanted->count++;
    return TRUE;
}

static int count_windows(const char* window_class, const char* title)
{
    WindowCount wanted = {window_class, title, 0};
    EnumWindows(count_one, (LPARAM)&wanted);
    printf("%d\n", wanted.count);
    return 0;
}

static BOOL CALLBACK find_static_text(HWND child, LPARAM context)
{
    char text[512];
    GetClassNameA(child, text, sizeof(text));
    if (_stricmp(text, "Static") != 0)
        return TRUE;
    GetWindowTextA(child, text, sizeof(text));
    if (text[0] == '\0')
        return TRUE;
    strcpy((char*)context, text);
    return FALSE;
}

// A visible dialog with a caption: Wine keeps hidden dialogs of its own around.
static BOOL CALLBACK find_message_box(HWND window, LPARAM context)
{
    char text[256];
    GetClassNameA(window, text, sizeof(text));
    if (strcmp(text, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    if (GetWindowTextA(window, text, sizeof(text)) == 0)
        return TRUE;
    *(HWND*)context = window;
    return FALSE;
}

static int read_message_box(int seconds)
{
    DWORD deadline = GetTickCount() + (DWORD)seconds * 1000;
    HWND box = NULL;
    while (box == NULL && GetTickCount() < deadline) {
        EnumWindows(find_message_box, (LPARAM)&box);
        if (box == NULL)
            Sleep(100);
    }
    if (box == NULL) {
        printf("none\n");
        return 1;
    }
    char caption[256] = "";
    char text[512] = "";
    GetWindowTextA(box, caption, sizeof(caption));
    EnumChildWindows(box, find_static_text, (LPARAM)text);
    printf("%s\n%s\n", caption, text);
    fflush(stdout);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

static LRESULT CALLBACK hold_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(window, message, wparam, lparam);
}

static int hold_window(const char* window_class, const char* title, const char* file)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = hold_proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = window_class;
    RegisterClassA(&wc);
    HWND window = CreateWindowA(window_class, title, WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, NULL,
                                NULL, wc.hInstance, NULL);
    if (window == NULL)
        return 1;
    printf("holding\n");
    fflush(stdout);
    while (GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(50);
    }
    DestroyWindow(window);
    return 0;
}

static int region_holds(const char* window_class, const char* title, int x, int y)
{
    HWND window = FindWindowA(window_class, title);
    if (window == NULL)
        return 1;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(window, region);
    printf("%d\n", kind == ERROR ? -1 : (PtInRegion(region, x, y) ? 1 : 0));
    DeleteObject(region);
    return 0;
}

static HWND find_child(const char* window_class, const char* title, const char* child_class)
{
    HWND window = FindWindowA(window_class, title);
    return window == NULL ? NULL : FindWindowExA(window, NULL, child_class, NULL);
}

static int print_child_text(const char* window_class, const char* title, const char* child_class)
{
    HWND child = find_child(window_class, title, child_class);
    if (child == NULL)
        return 1;
    static char text[70000];
    SendMessageA(child, WM_GETTEXT, sizeof(text), (LPARAM)text);
    // The text as the view holds it, byte for byte: no line-end translation on the way out.
    _setmode(_fileno(stdout), _O_BINARY);
    fwrite(text, 1, strlen(text), stdout);
    return 0;
}

// The view answers the old form of EM_POSFROMCHAR (a character index in wParam) with the
// position packed in the result, which works across processes.
static int print_char_position(const char* window_class, const char* title,
                               const char* child_class, int index)
{
    HWND child = find_child(window_class, title, child_class);
    if (child == NULL)
        return 1;
    LRESULT packed = SendMessageA(child, EM_POSFROMCHAR, (WPARAM)index, 0);
    POINT point = {(short)LOWORD(packed), (short)HIWORD(packed)};
    ClientToScreen(child, &point);
    printf("%ld %ld\n", point.x, point.y);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc >= 4 && strcmp(argv[1], "find") == 0)
        return find_window(argv[2], argv[3]);
    if (argc >= 4 && strcmp(argv[1], "count") == 0)
        return count_windows(argv[2], argv[3]);
    if (argc >= 3 && strcmp(argv[1], "msgbox") == 0)
        return read_message_box(atoi(argv[2]));
    if (argc >= 5 && strcmp(argv[1], "hold") == 0)
        return hold_window(argv[2], argv[3], argv[4]);
    if (argc >= 6 && strcmp(argv[1], "region") == 0)
        return region_holds(argv[2], argv[3], atoi(argv[4]), atoi(argv[5]));
    if (argc >= 5 && strcmp(argv[1], "text") == 0)
        return print_child_text(argv[2], argv[3], argv[4]);
    if (argc >= 6 && strcmp(argv[1], "charpos") == 0)
        return print_char_position(argv[2], argv[3], argv[4], atoi(argv[5]));
    fprintf(stderr, "usage: winprobe find|count|msgbox|hold|region ...\n");
    return 2;
}
