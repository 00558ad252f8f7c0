// The process entry point. The command line and the show command are not used: the window is
// always shown the same way.
#include "launcher/launcher.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show_command)
{
    (void)previous;
    (void)command_line;
    (void)show_command;
    return launcher_main(instance);
}
