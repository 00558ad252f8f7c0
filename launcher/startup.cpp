// Start-up: refuse a second launcher or a running game, check the machine, build the window and
// run the two-level message loop that lets the window be torn down for an episode and built
// again afterwards.
#include "launcher/launcher.h"
#include "launcher/probes.h"
#include "skin/pages.h"
#include "skin/shape.h"

int32_t keep_running;
int32_t quit_on_destroy;
HINSTANCE app_instance;
char window_title[TEXT_SIZE];
char window_class_name[TEXT_SIZE];

int run_message_loop(void)
{
    MSG msg = {};
    do {
        keep_running = 0;
        while (GetMessageA(&msg, NULL, 0, 0) > 0) {
            // main_window is read afresh: it changes when the window is rebuilt after an episode.
            if (!IsDialogMessageA(main_window, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        // A WM_QUIT that arrives with keep_running set ends only this pass.
    } while (keep_running);
    return (int)msg.wParam;
}

int launcher_main(HINSTANCE instance)
{
    if (FindWindowA("KX", "Bolvo Quest") != NULL)
        return -1;
    if (FindWindowA("Bolvo quest.", "Bolvo quest.") != NULL)
        return -1;
    if (FAILED(probe_directx())) {
        MessageBoxA(NULL, "Cannot get DirectX version", "System Error", MB_OK);
        return -1;
    }
    uint32_t mhz = 0;
    if (FAILED(measure_cpu_mhz(&mhz))) {
        MessageBoxA(NULL, "Your CPU to old for Bolvo Quest :(", "System Error", MB_OK);
        return -1;
    }
    if (cpu_clock_is_slow(mhz))
        MessageBoxA(NULL, "Your CPU speed to low for Bolvo Quest", "Warning", MB_OK);

    app_instance = instance;
    quit_on_destroy = 1;
    LoadStringA(instance, STRING_WINDOW_TITLE, window_title, TEXT_SIZE);
    LoadStringA(instance, STRING_WINDOW_CLASS, window_class_name, TEXT_SIZE);
    register_launcher_class(instance);
    if (!create_launcher_window(instance))
        return 0;
    // Whatever part of the shape and the pages it manages to build, start-up goes on.
    shape_window(main_window, instance);
    SetCursor(hand_cursor);
    ShowCursor(TRUE);
    ShowWindow(main_window, SW_SHOW);
    current_page = PAGE_MAIN;
    show_page(PAGE_MAIN);
    return run_message_loop();
}
